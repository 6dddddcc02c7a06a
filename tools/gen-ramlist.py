#!/usr/bin/env python3
"""Writes res/ini/Ramlist.ini, the variable list of a TBX controller, and the
address tables of docs/memory-map.md from one description of the memory map.

    tools/gen-ramlist.py            # rewrite both files
    tools/gen-ramlist.py --check    # fail when either file is out of date
"""
import pathlib
import sys

TOP = pathlib.Path(__file__).resolve().parent.parent
RAMLIST = TOP / "res" / "ini" / "Ramlist.ini"
MEMMAP = TOP / "docs" / "memory-map.md"

HEADER = ["Name", "High", "Low", "Id", "Description", "Default", "Section", "Pages",
          "Min", "Max", "Unit", "Monitor", "ToDisplay", "ToDownload"]

# Page domains (bit sets in the coding of the pages' read and write masks).
CFG = 11        # configuration parameter: configuration page, written by write-all
VERS = 10       # read by read-all on the configuration page, never written
SERVICE = 10001 # control-unit service data: key and info pages
LIVE = 4        # RAM live value: monitor and debugger only
ERR = 32        # RAM error word: diagnostics and debugger only
CMD = 64        # RAM command word: written by the debugger only

WORD_MIN, WORD_MAX = -32768, 32767   # any 16-bit pattern (words arrive sign-reduced)

EEPROM_AREA = (0x002000, 0x0023FF)
RAM_AREA = (0x004000, 0x0043FF)

entries = []   # in file order: the catalogue index follows it
groups = []    # (area, start, title) for the doc


def group(area, start, title):
    groups.append((area, start, title))


def var(addr, name, ident, desc, default, domain, lo, hi, unit="", monitor="",
        to_display="", to_download="", section=0):
    entries.append(dict(addr=addr, name=name, ident=ident, desc=desc, default=default,
                        section=section, domain=domain, lo=lo, hi=hi, unit=unit,
                        monitor=monitor, to_display=to_display, to_download=to_download))


def coil_name(c):
    return "%d%s" % (c // 2 + 1, "AB"[c % 2])


# ---------------------------------------------------------------- EEPROM area
group("EEPROM", 0x002000, "System")
var(0x002000, "PROG_VERSION", "KRV_PROG_VERS",
    "Controller software version (five digits: v123.45)", 0, VERS, 0, 32767,
    monitor="Version")
var(0x002002, "NUM_PROP_SECTIONS", "KRV_NUM_PROP_REG",
    "Number of proportional sections (1 to 4: TBX 100 to TBX 400)", 4, CFG, 1, 4,
    monitor="Sections")
var(0x002004, "NUM_ONOFF_SECTIONS", "KRV_NUM_PROP_REGNOT",
    "Number of on/off (not proportional) sections", 0, CFG, 0, 4,
    monitor="On/off sections")
var(0x002006, "NUM_DIGITAL_INPUTS", "KRV_NUM_DIGIT",
    "Number of digital inputs in use (DI_01 upwards)", 14, CFG, 0, 14,
    monitor="Digital inputs")
var(0x002008, "SYSTEM_TYPE", "KRV_SYSTEM_TYPE",
    "System type (1 = P  0 = F)", 1, CFG, 0, 1, monitor="System type")
var(0x00200A, "SOLENOID_TYPE", "KRV_SOL_TYPE",
    "Solenoid type (0 or 1 = standard magnet  2 = second magnet)", 0, CFG, 0, 2,
    monitor="Solenoid type")
var(0x00200C, "FLOAT_SECTIONS", "KRV_FLOAT_SOL_NUM",
    "Number of sections with the floating function", 0, CFG, 0, 4,
    monitor="Float sections")
var(0x00200E, "FLOAT_CURRENT", "KRV_FLOAT_CURRENT",
    "Floating current of a section without its own setting", 600, CFG, 0, 2000,
    unit="mA", monitor="Float current")
var(0x002010, "VBB_UNDERVOLTAGE", None,
    "Supply undervoltage threshold (stored in 10 mV steps)", 900, CFG, 600, 3000,
    unit="mV", monitor="VBB low", to_display="X*10", to_download="X/10")
var(0x002012, "VBB_OVERVOLTAGE", None,
    "Supply overvoltage threshold (stored in 10 mV steps)", 3200, CFG, 1000, 3600,
    unit="mV", monitor="VBB high", to_display="X*10", to_download="X/10")
var(0x002014, "PWM_FREQUENCY", None,
    "PWM frequency of the coil drivers", 1000, CFG, 100, 2000,
    unit="Hz", monitor="PWM")
var(0x002016, "DEAD_MAN_DELAY", None,
    "Delay before the sections stop when the dead-man input opens (stored in 10 ms steps)",
    50, CFG, 0, 500, unit="ms", monitor="Dead-man delay",
    to_display="X*10", to_download="X/10")

group("EEPROM", 0x002020, "Service data")
var(0x002020, "SERIAL_NUMBER", "KRV_SERIAL_NUMBER",
    "Control unit serial number (0 = not recorded)", 0, SERVICE, 0, 32767,
    monitor="Serial number")
var(0x002022, "SERVICE_WEEK", "KRV_SERVICE_WEEK",
    "Production week (1 to 53  0 = not recorded)", 0, SERVICE, 0, 53,
    monitor="Week")
var(0x002024, "SERVICE_YEAR", "KRV_SERVICE_YEAR",
    "Production year (0 = not recorded)", 0, SERVICE, 0, 2099, monitor="Year")
var(0x002026, "PRODUCTION_ORDER", "KRV_PROD_NUM",
    "Production order number (0 = not recorded)", 0, SERVICE, 0, 32767,
    monitor="Production order")

group("EEPROM", 0x002040, "Coil currents in normal mode")
for c in range(8):
    n = coil_name(c)
    var(0x002040 + 4 * c, "IMIN_%s" % n, "KRV_I%d_MIN" % c,
        "Coil %s minimum current (normal mode)" % n, 400, CFG, 0, 2000,
        unit="mA", monitor="I min %s" % n, section=c // 2)
    var(0x002042 + 4 * c, "IMAX_%s" % n, "KRV_I%d_MAX" % c,
        "Coil %s maximum current (normal mode)" % n, 1200, CFG, 0, 2000,
        unit="mA", monitor="I max %s" % n, section=c // 2)

group("EEPROM", 0x002060, "Coil currents in slow mode")
for c in range(8):
    n = coil_name(c)
    var(0x002060 + 4 * c, "IMIN_SLOW_%s" % n, "KRV_I%d_SDM_MIN" % c,
        "Coil %s minimum current (slow mode)" % n, 400, CFG, 0, 2000,
        unit="mA", monitor="I min slow %s" % n, section=c // 2)
    var(0x002062 + 4 * c, "IMAX_SLOW_%s" % n, "KRV_I%d_SDM_MAX" % c,
        "Coil %s maximum current (slow mode)" % n, 800, CFG, 0, 2000,
        unit="mA", monitor="I max slow %s" % n, section=c // 2)

group("EEPROM", 0x002080, "Ramp times")
for c in range(8):
    n = coil_name(c)
    var(0x002080 + 2 * c, "TRISE_%s" % n, "KRV_RAMP_TRISE_%d" % c,
        "Coil %s rise ramp time" % n, 500, CFG, 10, 5000,
        unit="ms", monitor="T rise %s" % n, section=c // 2)
for c in range(8):
    n = coil_name(c)
    var(0x002090 + 2 * c, "TFALL_%s" % n, "KRV_RAMP_TFALL_%d" % c,
        "Coil %s fall ramp time" % n, 500, CFG, 10, 5000,
        unit="ms", monitor="T fall %s" % n, section=c // 2)

group("EEPROM", 0x0020A0, "Ramp modes")
for k in range(4):
    var(0x0020A0 + 2 * k, "RAMP_MODE_S%d" % (k + 1), "KRV_RAMP_INV_MODE_%d" % k,
        "Section %d ramp mode on inversion (170 = BREAK  85 = FULL)" % (k + 1),
        85, CFG, 85, 170, monitor="Ramp mode %d" % (k + 1), section=k)

group("EEPROM", 0x0020C0, "Dither")
var(0x0020C0, "DITHER_FREQ", "KRV_DITHER_FREQ",
    "Dither frequency for all sections", 100, CFG, 40, 250,
    unit="Hz", monitor="Dither freq")
var(0x0020C2, "DITHER_AMP", "KRV_DITHER_AMP",
    "Dither amplitude for all sections", 100, CFG, 0, 400,
    unit="mA", monitor="Dither amp")
var(0x0020C4, "DITHER_AMP_PERC", "KRV_DITHER_AMP_PERC",
    "Dither amplitude as a share of the maximum current", 10, CFG, 0, 50,
    unit="%", monitor="Dither amp %")
var(0x0020C6, "DITHER_TYPE", "KRV_DITHER_TYPE",
    "Dither wave form (0 = square  1 = triangle)", 0, CFG, 0, 1,
    monitor="Dither type")

group("EEPROM", 0x0020E0, "Joystick inputs")
JOY_DEFAULTS = [(0x0001, 0), (0x0011, 1), (0x0041, 2), (0x0051, 2)]  # X  Y  W  Z axes
for k in range(4):
    var(0x0020E0 + 2 * k, "JOY%d_CONFIG" % (k + 1), "KRV_JOY_%d_CONFIG" % k,
        "Input %d: type + 16 x axis word + 256 x switch A input + 4096 x switch B input" % (k + 1),
        JOY_DEFAULTS[k][0], CFG, WORD_MIN, WORD_MAX, monitor="Joy %d config" % (k + 1),
        section=k)
for k in range(4):
    var(0x0020E8 + 2 * k, "JOY%d_ID" % (k + 1), "KRV_JOY_%d_ID" % k,
        "Input %d: joystick picture (0 = X axis  1 = Y axis  2 = other axis  5 = digital  8 = off)"
        % (k + 1), JOY_DEFAULTS[k][1], CFG, 0, 16, monitor="Joy %d picture" % (k + 1),
        section=k)
for k in range(4):
    var(0x0020F0 + 2 * k, "JOY%d_INVERT" % (k + 1), "KRV_JOY_%d_INV" % k,
        "Input %d: joystick side inverted (85 = NO  170 = YES)" % (k + 1), 85, CFG, 85, 170,
        monitor="Joy %d invert" % (k + 1), section=k)
for k in range(4):
    var(0x0020F8 + 2 * k, "SECTION%d_OPTIONS" % (k + 1), "KRV_SP_%d_MACRO" % k,
        "Section %d options: 1 = dead-man enable  2 = neutral at start up  4 = neutral at run time"
        % (k + 1), 0, CFG, 0, 7, monitor="Section %d options" % (k + 1), section=k)

group("EEPROM", 0x002100, "CAN joystick")
var(0x002100, "CAN_JOY_NODE", "KRV_JOY_NODE_ID",
    "CAN node identifier of the joystick", 1, CFG, 1, 127, monitor="Joystick node")
var(0x002102, "CAN_JOY_TIMEOUT", "KRV_JOY_TIMEOUT",
    "Joystick receive time-out: sections stop when no message arrives in time", 200, CFG,
    20, 2000, unit="ms", monitor="Joystick time-out")
var(0x002104, "CAN_BIT_RATE", None,
    "CAN bit rate (0 = 125  1 = 250  2 = 500  3 = 1000 kbit/s)", 1, CFG, 0, 3,
    monitor="CAN bit rate")
for k in range(4):
    var(0x002108 + 2 * k, "JOY%d_DEAD_BAND" % (k + 1), None,
        "Input %d: dead band around neutral" % (k + 1), 5, CFG, 0, 30,
        unit="%", monitor="Joy %d dead band" % (k + 1), section=k)

group("EEPROM", 0x002120, "Digital inputs")
for n in range(1, 9):
    if n < 8:
        desc = ("Digital inputs DI_%02d (low byte) and DI_%02d (high byte): "
                "type + 4 x CAN byte + 32 x bit" % (2 * n - 1, 2 * n))
    else:
        desc = "Digital input word 8 (reserved: always 0)"
    var(0x002120 + 2 * (n - 1), "DGT_CONFIG_%d" % n, "KRV_DGT_CONFIG_%d" % n, desc, 0, CFG,
        WORD_MIN, WORD_MAX, monitor="DI config %d" % n)

group("EEPROM", 0x002140, "Function inputs and floating")
var(0x002140, "FUNCTION_INPUTS_1", "KRV_FLOAT_CONFIG_1",
    "Inputs of dead-man (bits 0-3) fast/slow (4-7) float 1 (8-11) and float 2 (12-15)",
    0, CFG, WORD_MIN, WORD_MAX, monitor="Function inputs 1")
var(0x002142, "FUNCTION_INPUTS_2", "KRV_FLOAT_CONFIG_2",
    "Inputs of float 3 (bits 0-3) and float 4 (4-7)", 0, CFG, 0, 255,
    monitor="Function inputs 2")
var(0x002144, "FLOAT_SIDE", "KRV_FLOAT_MAG_SIDE",
    "Floating coil side: bit n-1 set = float section n on side B", 0, CFG, 0, 15,
    monitor="Float side")
for n in range(1, 5):
    var(0x002148 + 2 * (n - 1), "FLOAT_CURRENT_%d" % n, "KRV_FLOAT_CURRENT_%d" % n,
        "Floating current of section %d" % n, 600, CFG, 0, 2000,
        unit="mA", monitor="Float current %d" % n, section=n - 1)

# ---------------------------------------------------------------- RAM area
group("RAM", 0x004000, "Status and error words")
var(0x004000, "ERROR_CODE", "KRV_ERROR_CODE",
    "Controller status: any bit but bit 6 set = NOT READY", 0, ERR, WORD_MIN, WORD_MAX,
    monitor="Controller status")
var(0x004002, "CHECK_ERROR", "KRV_CHD_ERR_CODE",
    "Parameter memory check errors", 0, ERR, WORD_MIN, WORD_MAX, monitor="Memory check")
var(0x004004, "CAN_ERROR", "KRV_CAN_ERROR_CODE",
    "CAN bus errors", 0, ERR, WORD_MIN, WORD_MAX, monitor="CAN bus")
var(0x004006, "VBB_ERROR", "KRV_VBB_ERROR",
    "Supply voltage errors", 0, ERR, WORD_MIN, WORD_MAX, monitor="Supply voltage")
var(0x004008, "HSD_ERROR", "KRV_HSD_ERROR",
    "Power output errors: bit n-1 = OUT_n", 0, ERR, WORD_MIN, WORD_MAX,
    monitor="Power outputs")
var(0x00400A, "SETPOINT_ERROR", "KRV_SETPOINT_ERROR",
    "Setpoint errors of the whole system", 0, ERR, WORD_MIN, WORD_MAX,
    monitor="Setpoints")
for n in range(1, 5):
    var(0x004010 + 2 * (n - 1), "SECTION%d_ERROR" % n, "KRV_ERROR_SEC_%d" % n,
        "Section %d errors" % n, 0, ERR, WORD_MIN, WORD_MAX,
        monitor="Section %d" % n, section=n - 1)
for k in range(4):
    var(0x004018 + 2 * k, "SETPOINT%d_ERROR" % (k + 1), "KRV_SP%d_ERROR" % k,
        "Section %d setpoint errors" % (k + 1), 0, ERR, WORD_MIN, WORD_MAX,
        monitor="Setpoint %d" % (k + 1), section=k)

group("RAM", 0x004020, "Inputs and outputs")
var(0x004020, "OUTPUTS", "KRV_HSD_MONITOR",
    "Power outputs switched on: bit n-1 = OUT_n", 0, LIVE, 0, 255, monitor="Outputs")
var(0x004022, "DIGITAL_INPUTS", "KRV_DIGIT_MONITOR",
    "Active digital inputs: bit n = DI_n", 0, LIVE, WORD_MIN, WORD_MAX,
    monitor="Digital inputs")
var(0x004024, "FLOAT_ACTIVE", "KRV_FLOAT_MONITOR",
    "Sections floating: bit n-1 = section n", 0, LIVE, 0, 15, monitor="Floating")

group("RAM", 0x004030, "Supply")
var(0x004030, "VBB", "KRV_VBB_400",
    "Supply voltage (measured in 10 mV steps)", 2400, LIVE, 0, 4000,
    unit="V", monitor="VBB", to_display="X/100", to_download="X*100")
var(0x004032, "VSENSOR", None,
    "Joystick and sensor supply voltage (measured in 10 mV steps)", 500, LIVE, 0, 1000,
    unit="V", monitor="Sensor supply", to_display="X/100", to_download="X*100")

group("RAM", 0x004040, "Joystick positions and analogue inputs")
for k in range(4):
    var(0x004040 + 2 * k, "JOY%d_POSITION" % (k + 1), "KRV_JOY%d_VALUE" % k,
        "Input %d joystick position (measured in 0.1 %% steps)" % (k + 1), 0, LIVE, 0, 1000,
        unit="%", monitor="Joy %d" % (k + 1), to_display="X/10", to_download="X*10",
        section=k)
for k in range(4):
    var(0x004048 + 2 * k, "JOY%d_REDUCED" % (k + 1), "KRV_JOY%d_RED" % k,
        "Input %d command after dead band and ramps (measured in 0.1 %% steps)" % (k + 1),
        0, LIVE, 0, 1000, unit="%", monitor="Joy %d command" % (k + 1),
        to_display="X/10", to_download="X*10", section=k)
for k in range(4):
    var(0x004050 + 2 * k, "AIN%d" % (k + 1), None,
        "Analogue input %d voltage (12-bit converter over 0 to 10 V)" % (k + 1), 2048, LIVE,
        0, 4095, unit="mV", monitor="AIN %d" % (k + 1),
        to_display="X*10000/4095", to_download="X*4095/10000", section=k)

group("RAM", 0x004060, "Coil currents")
for k in range(4):
    var(0x004060 + 2 * k, "I%d_MEASURED" % (k + 1), "KRV_I%d_MEASURE_400" % k,
        "Section %d measured coil current (in 0.1 mA steps)" % (k + 1), 0, LIVE, 0, 30000,
        unit="mA", monitor="I %d" % (k + 1), to_display="X/10", to_download="X*10",
        section=k)
for k in range(4):
    var(0x004068 + 2 * k, "I%d_SETPOINT" % (k + 1), None,
        "Section %d coil current setpoint (in 0.1 mA steps)" % (k + 1), 0, LIVE, 0, 30000,
        unit="mA", monitor="I %d setpoint" % (k + 1), to_display="X/10",
        to_download="X*10", section=k)

group("RAM", 0x004080, "Commands")
var(0x004080, "DITHER_UPDATE", "KRV_DITHER_UPDATE",
    "Write 1 to apply the dither settings at once", 0, CMD, 0, 1,
    monitor="Dither update")


# ---------------------------------------------------------------- output
def line_of(e):
    return "\t".join([
        e["name"], "0x%04X" % (e["addr"] >> 8), "0x%02X" % (e["addr"] & 0xFF),
        e["ident"] or "", e["desc"], str(e["default"]), str(e["section"]),
        str(e["domain"]), str(e["lo"]), str(e["hi"]), e["unit"], e["monitor"],
        e["to_display"], e["to_download"]])


def ramlist_bytes():
    lines = ["\t".join(HEADER)] + [line_of(e) for e in entries]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def area_of(addr):
    for name, (lo, hi) in (("EEPROM", EEPROM_AREA), ("RAM", RAM_AREA)):
        if lo <= addr <= hi:
            return name
    raise SystemExit("address 0x%06X outside both areas" % addr)


def doc_tables():
    out = []
    starts = sorted(groups, key=lambda g: g[1])
    for i, (area, start, title) in enumerate(starts):
        end = starts[i + 1][1] if i + 1 < len(starts) else None
        members = [e for e in entries if e["addr"] >= start and (end is None or e["addr"] < end)]
        out.append("### %s 0x%06X: %s" % (area, start, title))
        out.append("")
        out.append("| Address | Name | Identifier | Sect. | Pages | Min | Max | Default | Unit "
                   "| Raw to display |")
        out.append("|---|---|---|---|---|---|---|---|---|---|")
        for e in members:
            conv = ("`%s` / `%s`" % (e["to_display"], e["to_download"])
                    if e["to_display"] else "raw")
            out.append("| 0x%06X | %s | %s | %d | %d | %d | %d | %d | %s | %s |" % (
                e["addr"], e["name"], "`%s`" % e["ident"] if e["ident"] else "",
                e["section"], e["domain"], e["lo"], e["hi"], e["default"], e["unit"], conv))
        out.append("")
    return "\n".join(out)


BEGIN, END = "<!-- generated tables: begin -->", "<!-- generated tables: end -->"


def memmap_text():
    text = MEMMAP.read_text(encoding="utf-8")
    head, rest = text.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    return head + BEGIN + "\n\n" + doc_tables() + "\n" + END + tail


def main():
    addrs = [e["addr"] for e in entries]
    assert len(set(addrs)) == len(addrs), "duplicate address"
    assert all(a % 2 == 0 for a in addrs), "odd address"
    for e in entries:
        area_of(e["addr"])
        assert e["lo"] <= e["default"] <= e["hi"], e["name"]
        assert "," not in e["desc"], e["name"]
    ramlist = ramlist_bytes()
    memmap = memmap_text()
    if "--check" in sys.argv[1:]:
        stale = [p for p, data in ((RAMLIST, ramlist), (MEMMAP, memmap.encode("utf-8")))
                 if p.read_bytes() != data]
        for p in stale:
            print("out of date: %s" % p.relative_to(TOP))
        return 1 if stale else 0
    RAMLIST.write_bytes(ramlist)
    MEMMAP.write_text(memmap, encoding="utf-8", newline="\n")
    print("%d variables written" % len(entries))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#include "sectioncolours.h"

#include "ansitext.h"
#include "configfile.h"
#include "respaths.h"
#include "writablepaths.h"
#include "vbnumber.h"

#include <QFile>

namespace {

constexpr int32_t kWindowBackground = static_cast<int32_t>(0x80000005u);
constexpr int32_t kWindowText = static_cast<int32_t>(0x80000008u);

struct Pair
{
    int32_t back;
    int32_t text;
};

// Background / text of sections 1 to 4 of each preset.
constexpr Pair kPresets[SectionColours::PresetCount][SectionColours::Sections] = {
    {{0x00000080, 0x00FFFFFF}, {0x00808080, 0x00FFFFFF}, {kWindowBackground, kWindowText}, {0x00000000, kWindowBackground}},
    {{0x000000FF, 0x00FFFFFF}, {0x0000FFFF, kWindowText}, {0x00C00000, 0x00FFFFFF}, {0x00FF8080, 0x00FFFFFF}},
    {{0x00004080, 0x00FFFFFF}, {0x00C0E0FF, 0x00000000}, {0x008080FF, kWindowText}, {0x000000C0, kWindowText}},
    {{0x00800080, 0x00FFFFFF}, {0x00C0E0FF, 0x00000000}, {0x000080FF, kWindowText}, {0x000000FF, kWindowText}},
    {{0x000000FF, 0x00FFFFFF}, {0x0000C000, 0x00FFFFFF}, {0x00C00000, 0x00FFFFFF}, {0x0000FFFF, 0x00000000}},
    {{0x000000C0, 0x00FFFFFF}, {0x00C0C0FF, 0x00000000}, {0x000000FF, 0x00FFFFFF}, {0x00C00000, 0x00FFFFFF}},
};

bool validSlot(int preset, int section)
{
    return preset >= 0 && preset < SectionColours::PresetCount && section >= 0 && section < SectionColours::Sections;
}

// One line of the file: a whole 32-bit number between spaces.
bool colourLine(const QString &line, int32_t &out)
{
    double v = 0;
    return VbNumber::parseNumber(line, v) && VbNumber::toInt32(v, out);
}

} // namespace

SectionColours::SectionColours()
{
    ApplyPalette(0);
}

QString SectionColours::defaultPath()
{
    return WritablePaths(ResPaths::programFolder()).colourFileToRead();
}

int32_t SectionColours::presetBackColour(int preset, int section)
{
    return validSlot(preset, section) ? kPresets[preset][section].back : 0;
}

int32_t SectionColours::presetTextColour(int preset, int section)
{
    return validSlot(preset, section) ? kPresets[preset][section].text : 0;
}

void SectionColours::ApplyPalette(int preset)
{
    if (preset < 0 || preset >= PresetCount)
        return;
    for (int k = 0; k < Sections; ++k) {
        SectionBackColour[static_cast<size_t>(k)] = kPresets[preset][k].back;
        SectionTextColour[static_cast<size_t>(k)] = kPresets[preset][k].text;
    }
}

SectionColours::LoadResult SectionColours::LoadColorFromFile(const QString &path)
{
    if (!File::FileExists(path))
        return LoadResult::NotFound;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Damaged;
    return LoadColorFromBytes(file.read(MaxFileSize));
}

SectionColours::LoadResult SectionColours::LoadColorFromBytes(const QByteArray &bytes)
{
    const QStringList lines = AnsiText::splitLines(AnsiText::decode(bytes.left(MaxFileSize)));
    if (lines.size() < 2 * Sections)
        return LoadResult::Damaged;
    std::array<int32_t, 2 * Sections> values{};
    for (int i = 0; i < 2 * Sections; ++i) {
        if (!colourLine(lines[i], values[static_cast<size_t>(i)]))
            return LoadResult::Damaged;
    }
    for (int k = 0; k < Sections; ++k) {
        SectionBackColour[static_cast<size_t>(k)] = values[static_cast<size_t>(k)];
        SectionTextColour[static_cast<size_t>(k)] = values[static_cast<size_t>(k + Sections)];
    }
    return LoadResult::Loaded;
}

SectionColours::LoadResult SectionColours::frmSectionColourInit(const QString &path)
{
    const LoadResult result = LoadColorFromFile(path);
    if (result != LoadResult::Loaded)
        ApplyPalette(0);
    return result;
}

QByteArray SectionColours::fileBytes() const
{
    QByteArray out;
    auto put = [&out](int32_t v) {
        // the sign position holds a space for a number that is not negative
        if (v >= 0)
            out += ' ';
        out += QByteArray::number(v);
        out += " \r\n";
    };
    for (int k = 0; k < Sections; ++k)
        put(SectionBackColour[static_cast<size_t>(k)]);
    for (int k = 0; k < Sections; ++k)
        put(SectionTextColour[static_cast<size_t>(k)]);
    return out;
}

bool SectionColours::SaveFileColour(const QString &path) const
{
    return AnsiText::replaceFile(path, fileBytes());
}

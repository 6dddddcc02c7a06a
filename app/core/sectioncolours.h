#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The colours each valve section is painted in on the configuration page and
// the monitor, with the six preset palettes and the file colour.ini that keeps
// the choice between runs. A colour is 0x00BBGGRR, or a system colour with the
// top bit set (0x80000005 window background, 0x80000008 window text).
class SectionColours
{
public:
    static constexpr int Slots = 5; // 0 .. 3 are sections 1 .. 4; 4 is never used
    static constexpr int Sections = 4;
    static constexpr int PresetCount = 6;
    // Eight short lines; a file far longer than that is not ours.
    static constexpr qint64 MaxFileSize = 4096;

    enum class LoadResult { Loaded, NotFound, Damaged };

    SectionColours(); // preset 0

    std::array<int32_t, Slots> SectionBackColour{};
    std::array<int32_t, Slots> SectionTextColour{};

    // Colours of preset `preset` (0 .. 5) for section index `section` (0 .. 3).
    static int32_t presetBackColour(int preset, int section);
    static int32_t presetTextColour(int preset, int section);

    // Sections 1 .. 4 take the colours of the preset; an unknown preset changes nothing.
    void ApplyPalette(int preset);

    // Reads the eight lines of the file. Only a complete, readable file changes
    // the tables: a missing one gives NotFound, a short or damaged one Damaged.
    LoadResult LoadColorFromFile(const QString &path);
    // The same for the file's bytes: Loaded or Damaged.
    LoadResult LoadColorFromBytes(const QByteArray &bytes);
    // Loads the file, falling back to preset 0 when it cannot be loaded; the
    // file itself is left alone until the next save.
    LoadResult frmSectionColourInit(const QString &path);

    // Writes the eight lines, replacing the file at once so an interrupted
    // save leaves the old file whole. False when it cannot be written.
    bool SaveFileColour(const QString &path) const;
    // The exact bytes SaveFileColour writes.
    QByteArray fileBytes() const;

    // The colour.ini of this program folder to read: the user's own copy
    // when the program writes there, else the shipped one.
    static QString defaultPath();

    bool operator==(const SectionColours &other) const
    {
        return SectionBackColour == other.SectionBackColour && SectionTextColour == other.SectionTextColour;
    }
};

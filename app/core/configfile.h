#pragma once

#include <QList>
#include <QString>

class Session;

// The configuration file: the download values of the catalogue as a text
// file headed by the comment block, saved and loaded again.
class File
{
public:
    explicit File(Session &session);

    static const QString NotFound;    // "Variable Not Found"
    static const QString OpenFailed;  // "FAILED!": the file could not be read

    // Writes the file beside the old one and renames it over it, so a failed
    // save leaves the previous file intact; false when the file was not saved.
    bool SaveConfig(const QString &path);
    // "" on success; NotFound when any value line matched no entry (every
    // matched line is loaded all the same); OpenFailed when the file cannot be read.
    QString LoadConfig(const QString &path, const QString &fileName);

    // The whole text SaveConfig writes.
    QString BuildConfigText();
    // One value line: description TAB address TAB value CR.
    QString FormatConfigLine(int index) const;
    // Loads one value line: "" (also for lines that are no value lines) or NotFound.
    QString ParseConfigLine(const QString &line);

    // 1 when the file exists, else 0.
    static int FileExists(const QString &path);

    // Address as written in the file: 4660 gives "0012.34".
    static QString formatAddress(int32_t address);

    // Whether an entry is saved: on an open page and within the edited section count.
    bool isSaved(int index) const;

private:
    // ParseConfigLine telling which entry it loaded (0 for none).
    QString parseConfigLine(const QString &line, int &loaded);

    Session &m_session;
};

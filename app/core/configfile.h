#pragma once

#include "configfilereader.h"

#include <QList>
#include <QString>

class Session;

// The configuration file: the download values of the catalogue as a text
// file headed by the comment block, saved and loaded again.
class File
{
public:
    explicit File(Session &session);

    // Writes the file beside the old one and renames it over it, so a failed
    // save leaves the previous file intact; false when the file was not saved.
    bool SaveConfig(const QString &path);
    // Loads the whole file or nothing: the file is read and checked first, and
    // only a good one reaches the catalogue and the comment page.
    ConfigFileReader::Result LoadConfig(const QString &path, const QString &fileName);
    // The same for a file's bytes already in memory.
    ConfigFileReader::Result LoadConfigBytes(const QByteArray &bytes, const QString &fileName);
    // The two halves of LoadConfig. ReadConfig changes nothing.
    ConfigFileReader::Result ReadConfig(const QString &path, StagedConfig &staged) const;
    // Every value of a checked file into its entry (download, display and
    // recorded controller value), then the range check, then the comments.
    void CommitConfig(const StagedConfig &staged, const QString &fileName);

    // The whole text SaveConfig writes.
    QString BuildConfigText();
    // One value line: description TAB address TAB value CR.
    QString FormatConfigLine(int index) const;

    // 1 when the file exists, else 0.
    static int FileExists(const QString &path);

    // Address as written in the file: 4660 gives "0012.34".
    static QString formatAddress(int32_t address);

    // Whether an entry is saved: on an open page and within the edited section count.
    bool isSaved(int index) const;

private:
    ConfigFileReader::Result commitIfGood(const ConfigFileReader::Result &result, const StagedConfig &staged,
                                          const QString &fileName);

    Session &m_session;
};

#pragma once

#include <QString>

// Where the files the program writes go: colour.ini and the default folder of
// saved configurations. A copy run from its build folder keeps them in its
// own res/ as it always has; an installed copy (a program folder the user
// cannot write, or one carrying the install marker) uses the user's folders,
// so one installation serves every user and never needs write access.
class WritablePaths
{
public:
    // The user's folders; empty members take the desktop's standard places.
    struct UserFolders
    {
        QString config;    // colour.ini (default: ~/.config/krvstudio)
        QString documents; // saved configurations (default: ~/Documents/KRV Studio)
    };

    // Left to the program folder's state, or decided by the caller (tests;
    // root can write everywhere, so writability alone cannot be shown there).
    enum class Target { Detect, ProgramFolder, UserFolders };

    explicit WritablePaths(QString programFolder, UserFolders user = {}, Target target = Target::Detect);

    // The file the install puts beside the programs; its presence alone counts.
    static QString installMarkerName() { return QStringLiteral("installed.ini"); }
    // True when files may be written below `programFolder`: no install marker
    // and the folder (res/ini too, when it exists) is writable.
    static bool programFolderWritable(const QString &programFolder);

    bool usesProgramFolder() const { return m_useProgramFolder; }
    const QString &programFolder() const { return m_programFolder; }
    const UserFolders &userFolders() const { return m_user; }

    // The copy of colour.ini that the palette window's OK writes; its folder
    // is made on demand.
    QString colourFile() const;
    // The copy shipped with the program, read when the user has none.
    QString shippedColourFile() const;
    // The copy to read at start: the written one when it exists, else the
    // shipped one (which may be missing too: preset 0 then).
    QString colourFileToRead() const;

    // Where the configuration file dialogs start, made on demand; when it
    // cannot be made the home folder is offered instead.
    QString configurationFolder() const;

private:
    QString userColourFile() const;

    QString m_programFolder;
    UserFolders m_user;
    bool m_useProgramFolder;
};

#pragma once

#include "cjoydata.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class MessageService;

// The joystick models of JoylistNew.ini with their pictures, loaded once
// when the configuration page loads.
class JoyCatalogue
{
public:
    static constexpr int MaxRecords = 17;

    explicit JoyCatalogue(MessageService *messages = nullptr);

    std::array<std::unique_ptr<CJoyData>, MaxRecords> JoyList; // file order
    int16_t JoyCount = 0;     // records loaded; 0 until a load succeeds
    int16_t NotUsedJoyID = 0; // JoyID of the (last) "NOTUSED" record, 0 when none

    // Loads the catalogue file and the pictures from `pictureFolder`. On a
    // failure shows the message, leaves JoyCount 0 and returns false.
    bool LoadJoyCatalogue(const QString &path, const QString &pictureFolder);
    // The same for the catalogue file's bytes.
    bool LoadJoyCatalogueBytes(const QByteArray &bytes, const QString &pictureFolder);
    // The files beside the program.
    bool LoadJoyCatalogue();

    static QString defaultPath();
    static QString defaultPictureFolder();

    // The loaded record at `index`, or nullptr when no loaded record has it.
    const CJoyData *entry(int index) const;
    // Picture of the record at `index`; empty for any index that is not a
    // loaded record, so a page can show whatever the controller holds.
    QImage picture(int index) const;

    void setMessageService(MessageService *messages) { m_messages = messages; }

private:
    bool loadRecords(const QString &text, const QString &pictureFolder);
    // Keeps a good load, or counts every record as absent and says so.
    bool finishLoad(bool good);

    MessageService *m_messages;
};

#pragma once

#include <QString>

// The file-comment page `frmComment` as the configuration file uses it.
class CommentPage
{
public:
    virtual ~CommentPage() = default;
    // The comment block that heads a saved configuration.
    virtual QString BuildInfoStr() const = 0;
    // Fills the page from the comment text read back from a file.
    virtual void ExtractInfo(const QString &AuxStr, const QString &FileName) = 0;
};

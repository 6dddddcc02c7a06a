#include "clicommentpage.h"

void CliCommentPage::ExtractInfo(const QString &AuxStr, const QString &FileName)
{
    info = CommentInfo::ExtractInfo(AuxStr);
    fileName = FileName;
}

#pragma once

#include <QString>

class QMessageBox;

namespace lumi {

/// Puts texts into a message box as plain text. QMessageBox keeps a text format for its main text
/// only and guesses at its informative text, so a folder path or release notes holding "<" would
/// be read as markup there.
class MessageText final
{
public:
    MessageText() = delete;

    static void set(QMessageBox& box, const QString& text, const QString& informative);
};

} // namespace lumi

#pragma once

#include <QByteArray>
#include <QString>

namespace lumi::test {

/// Writes the bytes to path, creating its folders; false when that fails.
[[nodiscard]] bool writeFile(const QString& path, const QByteArray& bytes = QByteArrayLiteral("x"));
/// The file's bytes; empty when it can't be read.
QByteArray contentOf(const QString& path);
/// Something is at path, a dangling symbolic link included.
bool existsNoFollow(const QString& path);

} // namespace lumi::test

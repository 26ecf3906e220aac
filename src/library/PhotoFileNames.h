#pragma once

#include <QString>

#include <optional>

namespace lumi {

struct Medium;

/// The names of the photo files that the sync writes, and the one test by which the whole app tells
/// its own photo files from the user's: only names that pass `isAppFileName` are ever deleted.
/// Pure string functions.
class PhotoFileNames final
{
public:
    PhotoFileNames() = delete;

    static constexpr int slugLimit = 240;

    /// The title with everything but ASCII letters, digits, "-" and blanks dropped.
    static QString slug(const QString& title);
    /// "<slug, at most 240 characters, "Lumivale" when empty>-<first 8 of the uuid, lower-cased>.jpg".
    /// None when those 8 characters are then not lower-case letters or digits: the id comes from the
    /// server and becomes part of a path, and a name the app could not recognise later would
    /// never be cleaned up. The caller logs and skips such a photo.
    static std::optional<QString> photoFileName(const Medium& photo);
    /// A bare file name the sync writes: "<title part>-<8 lower-case letters or digits>.jpg", at
    /// least 14 characters, the id not a date stamp.
    static bool isAppFileName(const QString& name);
    /// Eight ASCII digits that read back unchanged as a Gregorian date under one of the patterns
    /// yyyyMMdd, MMddyyyy or ddMMyyyy. Photo files named by a date look like the user's own.
    static bool isDateStamp(const QString& text);
    /// Every character is "a" to "z" or "0" to "9"; the empty text passes.
    static bool isLowerAlphanumeric(const QString& text);
    /// A photo id fit for a file name: exactly 8 lower-case letters or digits.
    static bool isShortId(const QString& id);
};

} // namespace lumi

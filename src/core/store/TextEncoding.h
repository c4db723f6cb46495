#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace peridon {

// Shift-JIS as Windows writes it (code page 932: "－" is 81 7C). Both return
// no result when a byte sequence or a character has no counterpart, or when
// this system offers no such converter at all; a caller must then tell the
// user instead of writing or reading something else.
std::optional<QString> decodeShiftJis(QByteArrayView bytes);
std::optional<QByteArray> encodeShiftJis(QStringView text);

// Text a user's editor may have saved in either encoding: valid UTF-8 (with
// or without a BOM) is taken as such, as Japanese Shift-JIS text almost
// never is; anything else as Shift-JIS.
std::optional<QString> decodeUtf8OrShiftJis(QByteArrayView bytes);

} // namespace peridon

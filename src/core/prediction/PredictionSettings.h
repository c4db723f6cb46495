#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace peridon {

inline constexpr int kOptionCount = 10;

// The ten "reflect this analysis" options, index 0..9 in the window's order.
using ReflectFlags = std::array<bool, kOptionCount>;

// One option of the prediction window: its frame, the frame's caption and the
// key it is stored under in the settings file.
struct PredictionOption {
    const char16_t* frame;
    const char16_t* caption;
    const char16_t* key;
};

const std::array<PredictionOption, kOptionCount>& predictionOptions();

// The settings file's name; it lives in the data folder (SettingsLocation.h).
inline constexpr const char16_t* kSettingsFileName = u"ナンバーズ3ペリドン.ini";

// The file's contents for these flags: ten "key=True|False" lines in index
// order, Shift-JIS, each ended by CR LF. Empty when no Shift-JIS encoder is
// available (then nothing must be written).
QByteArray encodeSettings(const ReflectFlags& flags);

// Applies the lines of a settings file to flags. A line is "key=value"; the
// key must match exactly, the value is True/False or a number (0 is False).
// Lines with an unknown key, no "=" or an unreadable value change nothing; a
// later line for the same key overrides an earlier one.
void decodeSettings(const QByteArray& contents, ReflectFlags& flags);

// Reads the file at path into flags; a missing or unreadable file leaves them
// as they are. Returns whether the file could be read.
bool readSettingsFile(const QString& path, ReflectFlags& flags);

// Replaces the file at path through a temporary file in the same folder, so
// a failure never leaves a half-written file. Returns whether it succeeded.
bool writeSettingsFile(const QString& path, const ReflectFlags& flags);

} // namespace peridon

#pragma once

#include "core/files/Platform.h"

#include <QByteArray>
#include <QByteArrayView>
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

// What decoding a settings file's bytes found.
struct SettingsDecode {
    bool decoded = false; // the bytes are Shift-JIS or UTF-8 text
    int firstBadLine = 0; // the first line not understood (1-based); 0: none
    bool understood() const { return decoded && firstBadLine == 0; }
};

// Applies the lines of a settings file (Shift-JIS, or UTF-8 as an editor may
// save it) to flags. A line is "key=value"; the key must match exactly, the
// value is True/False or a number (0 is False). Lines with an unknown key, no
// "=" or an unreadable value change nothing (and are reported); empty lines
// are ignored; a later line for the same key overrides an earlier one.
SettingsDecode decodeSettings(QByteArrayView contents, ReflectFlags& flags);

// The largest settings file that is read: the program writes about 250 bytes.
inline constexpr qint64 kMaxSettingsBytes = qint64(1) << 20;

// What loading the settings file found.
struct SettingsFileState {
    FileKind kind = FileKind::Missing; // what stands under the name
    bool read = false;                 // its contents were read and applied
    bool understood = false;           // ... and every line was understood
    QString problem;                   // why not, in Japanese; empty otherwise

    // Saving may replace the name: nothing or a regular file stands there.
    bool replaceable() const { return kind == FileKind::Missing || kind == FileKind::Regular; }
    // A regular file that saving must keep as a backup before writing.
    bool needsBackup() const { return kind == FileKind::Regular && !understood; }
};

// Applies the file at path to flags (a missing file leaves them as they are).
// Only a regular file of at most kMaxSettingsBytes is read, and opening never
// blocks: a FIFO or a device under the name is reported, not opened. A
// symbolic link to a regular file is read through.
SettingsFileState loadSettingsFile(const QString& path, ReflectFlags& flags);
// The same, answering only whether the file could be read.
bool readSettingsFile(const QString& path, ReflectFlags& flags);

// The name a file that could not be read is kept under: path + ".bak", or
// ".bak2" to ".bak9" when those are taken (a backup is never replaced);
// empty when all are taken.
QString settingsBackupPath(const QString& path);

struct SettingsSave {
    bool ok = false;
    bool refused = false;      // the name is not a regular file and was left alone
    bool backupFailed = false; // a file that could not be read had to stay as it was
    QString backup;            // where a file that could not be read was kept, if any
    QString problem;           // why nothing was written, in Japanese
};

// Writes the file at path as a new file in the same folder renamed over the
// name: a failure never leaves a half-written file, and a link is never
// followed. A symbolic link, folder, FIFO or device under the name is left
// alone (refused). A file that could not be wholly read is first renamed to
// settingsBackupPath(path); when that is impossible nothing is written.
SettingsSave saveSettingsFile(const QString& path, const ReflectFlags& flags);

} // namespace peridon

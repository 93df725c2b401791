#pragma once

#include <QString>

#include <cstdint>

// The per-user settings store: organisation "NorvaneProg" (on Linux the file
// ~/.config/NorvaneProg.conf, or below $XDG_CONFIG_HOME), group "Settings".
inline const QString kSettingsOrganisation = QStringLiteral("NorvaneProg");
inline const QString kKeyComPort = QStringLiteral("ComPort");
inline const QString kKeyLastFile = QStringLiteral("LastFile");

constexpr int16_t kFirstComPort = 1;
constexpr int16_t kLastComPort = 12;
// The number no port has: what an unusable stored port number reads as.
constexpr int16_t kNoComPort = 0;

// A text value of group "Settings"; empty text when the key is absent or holds no text.
QString ReadSetting(const QString& key);
void WriteSetting(const QString& key, const QString& value);

// The stored port number: 1 when absent, kNoComPort when the text is not a whole number
// from 1 to 12.
int16_t ReadComPortSetting();
void WriteComPortSetting(int16_t port);

// The remembered firmware file; empty text when absent or longer than any path can be.
QString ReadLastFileSetting();
void WriteLastFileSetting(const QString& fileName);

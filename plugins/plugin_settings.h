// The program's settings file as the shipped plug-ins open it: the INI file in the user's
// configuration folder that the program itself uses (the registry on Windows). Header-only, since
// each plug-in is a shared object of its own.
#pragma once

#include <QSettings>

inline QSettings plugin_open_settings() {
#ifdef Q_OS_WIN
  return QSettings(QStringLiteral("Vantrell"), QStringLiteral("Vantrell"));
#else
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Vantrell"),
                   QStringLiteral("Vantrell"));
#endif
}

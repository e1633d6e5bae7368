// The program's light or dark look: the user's choice (command line, then the
// Preferences' stored choice), how "system" is resolved, and the application
// palette each choice installs.
//
// Controls do not read the choice: they draw from their palette, which the
// application palette sets (see QvThemedColor).
//
// Thread contract: the pure functions are callable from any thread;
// ApplyTheme changes the application's style and palette and runs on the GUI
// thread only.
#pragma once

#include <QColor>
#include <QPalette>

#include <optional>
#include <string>
#include <string_view>

enum class ThemeChoice { System, Light, Dark };

// "system", "light" or "dark" (letter case ignored); nothing for other text.
[[nodiscard]] std::optional<ThemeChoice> ParseThemeChoice(std::string_view text);
// The stored and shown name of a choice.
[[nodiscard]] const char* ThemeChoiceName(ThemeChoice choice);

// Whether "system" means dark: the desktop's GTK_THEME naming a dark variant
// (e.g. "Adwaita:dark") or the platform palette being dark already.
[[nodiscard]] bool SystemPrefersDark(const char* gtkTheme, bool platformPaletteDark);
// Whether a GTK 3 settings.ini asks for dark: gtk-application-prefer-dark-theme
// set, or a theme name that is a dark variant ("...-dark", "...noir", as
// the Raspberry Pi desktop's dark theme is called).
[[nodiscard]] bool GtkSettingsPreferDark(std::string_view settingsIni);
// Whether GNOME's colour-scheme setting, as gsettings prints it, is dark.
[[nodiscard]] bool GnomeColorSchemeDark(std::string_view gsettingsOutput);

// The palettes installed for the two looks (used with the Fusion style).
[[nodiscard]] QPalette DarkPalette();
[[nodiscard]] QPalette LightPalette();

// WCAG contrast ratio of two colours, 1 (same) .. 21 (black on white).
[[nodiscard]] double ContrastRatio(const QColor& a, const QColor& b);

// Installs the look for the choice and returns whether it is dark. "System"
// keeps the platform's own style and palette when they are what the desktop
// asks for, and uses the dark palette when the desktop asks for dark but the
// platform palette is light.
bool ApplyTheme(ThemeChoice choice);

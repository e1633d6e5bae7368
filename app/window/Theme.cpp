#include "app/window/Theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStyle>
#include <QStyleFactory>

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "controls/common/QvColor.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& color) {
  return 0.2126 * Channel(color.red()) + 0.7152 * Channel(color.green()) + 0.0722 * Channel(color.blue());
}

// The platform's own style and palette, taken before the first change.
struct PlatformLook {
  QString styleName;
  QPalette palette;
};

PlatformLook& Platform() {
  static PlatformLook look{QApplication::style() != nullptr ? QApplication::style()->name() : QString(),
                           QApplication::palette()};
  return look;
}

void UseStyle(const QString& name) {
  if (QApplication::style() != nullptr &&
      QApplication::style()->name().compare(name, Qt::CaseInsensitive) == 0)
    return;
  if (QStyle* style = QStyleFactory::create(name)) QApplication::setStyle(style);
}

}  // namespace

std::optional<ThemeChoice> ParseThemeChoice(std::string_view text) {
  for (ThemeChoice choice : {ThemeChoice::System, ThemeChoice::Light, ThemeChoice::Dark}) {
    if (EqualsIgnoringCase(text, ThemeChoiceName(choice))) return choice;
  }
  return std::nullopt;
}

const char* ThemeChoiceName(ThemeChoice choice) {
  switch (choice) {
    case ThemeChoice::Light:
      return "light";
    case ThemeChoice::Dark:
      return "dark";
    case ThemeChoice::System:
      break;
  }
  return "system";
}

bool SystemPrefersDark(const char* gtkTheme, bool platformPaletteDark) {
  if (platformPaletteDark) return true;
  if (gtkTheme == nullptr) return false;
  const std::string_view theme(gtkTheme);
  const std::size_t colon = theme.rfind(':');
  if (colon != std::string_view::npos) return EqualsIgnoringCase(theme.substr(colon + 1), "dark");
  return theme.size() >= 5 && EqualsIgnoringCase(theme.substr(theme.size() - 5), "-dark");
}

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoringCase(text.substr(text.size() - end.size()), end);
}

bool DarkThemeName(std::string_view name) {
  return EndsWithIgnoringCase(name, "-dark") || EndsWithIgnoringCase(name, ":dark") ||
         EndsWithIgnoringCase(name, "noir");
}

// The desktop's own dark setting when the platform palette does not show it:
// GNOME's colour scheme, then GTK 3's settings file.
bool DesktopAsksForDark() {
  const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
  if (desktop.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) {
    QProcess gsettings;
    gsettings.start(QStringLiteral("gsettings"),
                    {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                     QStringLiteral("color-scheme")});
    if (gsettings.waitForFinished(1000) && gsettings.exitCode() == 0 &&
        GnomeColorSchemeDark(gsettings.readAllStandardOutput().toStdString()))
      return true;
  }
  QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/.config");
  QFile ini(folder + QStringLiteral("/gtk-3.0/settings.ini"));
  if (ini.size() > 65536 || !ini.open(QIODevice::ReadOnly)) return false;
  return GtkSettingsPreferDark(ini.readAll().toStdString());
}

}  // namespace

bool GtkSettingsPreferDark(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (key == "gtk-application-prefer-dark-theme" && (value == "1" || EqualsIgnoringCase(value, "true")))
      return true;
    if (key == "gtk-theme-name" && DarkThemeName(value)) return true;
  }
  return false;
}

bool GnomeColorSchemeDark(std::string_view output) {
  return Trimmed(output) == "'prefer-dark'";
}

QPalette DarkPalette() {
  const QColor window(45, 45, 48);
  const QColor base(30, 30, 32);
  const QColor text(232, 232, 232);
  const QColor disabledText(130, 130, 130);
  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, QColor(40, 40, 43));
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(55, 55, 59));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, QColor(255, 90, 90));
  p.setColor(QPalette::Light, QColor(80, 80, 85));
  p.setColor(QPalette::Midlight, QColor(65, 65, 70));
  p.setColor(QPalette::Mid, QColor(100, 100, 106));
  p.setColor(QPalette::Dark, QColor(20, 20, 22));
  p.setColor(QPalette::Shadow, QColor(0, 0, 0));
  p.setColor(QPalette::Highlight, QColor(30, 95, 180));
  p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  p.setColor(QPalette::Link, QColor(110, 175, 255));
  p.setColor(QPalette::LinkVisited, QColor(180, 140, 255));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabledText);
  p.setColor(QPalette::Disabled, QPalette::Base, window);
  p.setColor(QPalette::Disabled, QPalette::Button, window);
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 85));
  return p;
}

QPalette LightPalette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(239, 239, 239));
  p.setColor(QPalette::WindowText, Qt::black);
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
  p.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
  p.setColor(QPalette::ToolTipText, Qt::black);
  p.setColor(QPalette::PlaceholderText, QColor(110, 110, 110));
  p.setColor(QPalette::Text, Qt::black);
  p.setColor(QPalette::Button, QColor(239, 239, 239));
  p.setColor(QPalette::ButtonText, Qt::black);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, Qt::white);
  p.setColor(QPalette::Midlight, QColor(227, 227, 227));
  p.setColor(QPalette::Mid, QColor(160, 160, 160));
  p.setColor(QPalette::Dark, QColor(160, 160, 160));
  p.setColor(QPalette::Shadow, QColor(105, 105, 105));
  p.setColor(QPalette::Highlight, QColor(0, 100, 180));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0, 0, 255));
  p.setColor(QPalette::LinkVisited, QColor(255, 0, 255));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
  return p;
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool ApplyTheme(ThemeChoice choice) {
  const PlatformLook& platform = Platform();
  bool dark = choice == ThemeChoice::Dark;
  if (choice == ThemeChoice::System) {
    const bool platformDark = QvIsDarkPalette(platform.palette);
    dark = SystemPrefersDark(std::getenv("GTK_THEME"), platformDark) || DesktopAsksForDark();
    if (dark == platformDark) {
      // The desktop's own look already matches what it asks for.
      if (!platform.styleName.isEmpty()) UseStyle(platform.styleName);
      QApplication::setPalette(platform.palette);
      return dark;
    }
  }
  UseStyle(QStringLiteral("Fusion"));
  QApplication::setPalette(dark ? DarkPalette() : LightPalette());
  return dark;
}

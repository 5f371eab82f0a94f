// pdv-configurador: the receipt printer configurator of the PDV station.
#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <memory>

#include "app/Principal.h"
#include "app/UiPrompts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(dovra::kTituloAplicacao);
  QGuiApplication::setDesktopFileName("pdv-configurador");

  // "--screenshot FILE" (used by scripts/screenshot.sh only): start without asking anything,
  // save a picture of the window and quit.
  QString screenshot;
  const QStringList args = QApplication::arguments();
  const qsizetype at = args.indexOf("--screenshot");
  if (at >= 0 && at + 1 < args.size()) screenshot = args.at(at + 1);

  dovra::TFprincipalOptions options;
  std::unique_ptr<dovra::IUiPrompts> unattended;
  if (!screenshot.isEmpty()) {
    unattended = std::make_unique<dovra::TConsolePrompts>();
    options.prompts = unattended.get();
  }

  dovra::TFprincipal window(options);
  window.show();
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(500, &window, [&window, &screenshot] {
      if (!window.grab().save(screenshot)) std::fprintf(stderr, "cannot write %s\n", qPrintable(screenshot));
      QApplication::quit();
    });
  }
  return app.exec();
}

#include "emulator/render/ReceiptPng.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "emulator/render/ReceiptRenderer.h"

namespace dovra::emulator {

struct TRenderSession::TImpl {
  // QGuiApplication keeps references to argc and argv for its whole life.
  int argc = 3;
  char name[24] = "pdv-impressora-virtual";
  char option[10] = "-platform";
  char platform[10] = "offscreen";
  char* argv[4] = {name, option, platform, nullptr};
  std::unique_ptr<QGuiApplication> app;
};

TRenderSession::TRenderSession() : impl_(std::make_unique<TImpl>()) {
  if (QCoreApplication::instance()) return;
  // The program's standard error is for its own complaints: Qt's notes about its
  // surroundings (no XDG_RUNTIME_DIR, ...) stay out of it, its serious errors do not.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  impl_->app = std::make_unique<QGuiApplication>(impl_->argc, impl_->argv);
}

TRenderSession::~TRenderSession() = default;

std::string PngPathFor(const std::string& transcriptPath) {
  return std::filesystem::path(transcriptPath).replace_extension(".png").string();
}

void WriteReceiptPng(const TReceipt& receipt, const std::string& path) {
  namespace fs = std::filesystem;
  const QImage picture = RenderReceipt(receipt);
  const std::string tmp = path + ".tmp";
  std::error_code ec;
  if (picture.isNull() || !picture.save(QString::fromStdString(tmp), "PNG")) {
    fs::remove(tmp, ec);
    throw std::runtime_error("não foi possível gravar " + path);
  }
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    throw std::runtime_error("não foi possível gravar " + path);
  }
}

}  // namespace dovra::emulator

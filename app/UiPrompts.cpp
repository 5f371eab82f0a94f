#include "app/UiPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

#include <iostream>

namespace dovra {

namespace {

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const std::string& text) {
  QMessageBox box(icon, QCoreApplication::applicationName(), QString::fromStdString(text),
                  QMessageBox::Ok, parent);
  // Messages quote tags and file names; they must never be read as rich text.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

void TQtPrompts::Information(const std::string& text) {
  ShowMessage(parent_, QMessageBox::Information, text);
}

void TQtPrompts::Error(const std::string& text) {
  ShowMessage(parent_, QMessageBox::Critical, text);
}

std::optional<std::string> TQtPrompts::OpenFileName(const std::string& filter,
                                                    const std::string& initialFolder) {
  const QString name = QFileDialog::getOpenFileName(parent_, QString(),
                                                    QString::fromStdString(initialFolder),
                                                    QString::fromStdString(filter));
  if (name.isEmpty()) return std::nullopt;
  return name.toStdString();
}

void TConsolePrompts::Information(const std::string& text) { std::cerr << text << '\n'; }

void TConsolePrompts::Error(const std::string& text) { std::cerr << "Erro: " << text << '\n'; }

std::optional<std::string> TConsolePrompts::OpenFileName(const std::string&, const std::string&) {
  return std::nullopt;
}

}  // namespace dovra

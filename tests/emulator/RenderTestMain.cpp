// The renderer's tests draw with Qt GUI: a QGuiApplication on the offscreen platform.
#include <stdlib.h>

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (at build time) needs no application.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

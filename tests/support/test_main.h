#pragma once

// A test main that never touches the user's settings: before the application
// object exists, XDG_CONFIG_HOME and HOME point into a fresh temporary folder, so
// QSettings("Vellumo", "Vellumo") writes a real settings file there.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#define VELLUMO_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char *argv[]) {                                                             \
        QTemporaryDir vellumoTestHome;                                                             \
        qputenv("XDG_CONFIG_HOME", vellumoTestHome.filePath("config").toLocal8Bit());              \
        qputenv("HOME", vellumoTestHome.path().toLocal8Bit());                                     \
        qputenv("XDG_DATA_HOME", vellumoTestHome.filePath("data").toLocal8Bit());                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

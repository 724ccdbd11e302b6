#pragma once

// Windows whose fields are still to come: each exists under its own class with its
// caption and an OK and a Cancel button that close it, so that every launcher
// already opens the right window. A class moves to a module of its own when its
// fields are built.

#include "dialogs/dialog_context.h"

#include <QDialog>

namespace vellumo {

class StagedDialog : public QDialog {
    Q_OBJECT
public:
    StagedDialog(const QString &objectName, const QString &caption, QWidget *parent);
};

class TForm3 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm3(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form3"), QStringLiteral("Select Insert Style"), parent)
    {
    }
};

class TForm4 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm4(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form4"), QStringLiteral("About Vellumo"), parent)
    {
    }
};

class TForm27 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm27(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form27"), QStringLiteral("Tip of the Day"), parent)
    {
    }
};

} // namespace vellumo

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

class TForm11 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm11(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form11"), QStringLiteral("Music/Sound Effects"), parent)
    {
    }
};

class TForm12 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm12(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form12"), QStringLiteral("Marquee"), parent)
    {
    }
};

class TForm18 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm18(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form18"), QStringLiteral("Scrolling Text"), parent)
    {
    }
};

class TForm19 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm19(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form19"), QStringLiteral("Font"), parent)
    {
    }
};

class TForm22 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm22(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form22"), QStringLiteral("Map Name"), parent)
    {
    }
};

class TForm23 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm23(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form23"), QStringLiteral("Meta"), parent)
    {
    }
};

class TForm24 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm24(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form24"), QStringLiteral("Script"), parent)
    {
    }
};

class TForm25 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm25(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form25"), QStringLiteral("JAVA Applet"), parent)
    {
    }
};

class TForm26 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm26(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form26"), QStringLiteral("Parameter"), parent)
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

class TForm28 final : public StagedDialog {
    Q_OBJECT
public:
    explicit TForm28(DialogContext &, QWidget *parent = nullptr)
        : StagedDialog(QStringLiteral("Form28"), QStringLiteral("Embeded Item"), parent)
    {
    }
};

} // namespace vellumo

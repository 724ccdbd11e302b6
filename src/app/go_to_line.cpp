#include "app/go_to_line.h"

#include "document/page.h"

#include "platform/platform.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace vellumo {

namespace {

std::optional<qint64> number(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= u'0' && c.unicode() <= u'9';
        }))
        return std::nullopt;
    // Absurdly long numbers mean "the last line": the nearest that exists.
    if (text.size() > 15)
        return qint64(1) << 50;
    return text.toLongLong();
}

} // namespace

std::optional<LineTarget> parseLineTarget(const QString &text) {
    const qsizetype colon = text.indexOf(u':');
    const std::optional<qint64> line =
        number(QStringView(text).left(colon < 0 ? text.size() : colon));
    if (!line)
        return std::nullopt;
    if (colon < 0)
        return LineTarget{*line, 1};
    const std::optional<qint64> column = number(QStringView(text).sliced(colon + 1));
    if (!column)
        return std::nullopt;
    return LineTarget{*line, *column};
}

void goToLine(Page &page, const LineTarget &target) {
    const int line = int(std::clamp<qint64>(target.line, 1, page.lineCount()) - 1);
    // Columns count characters: a pair of surrogates is one.
    const QString text = page.lineText(line);
    qint64 column = std::max<qint64>(target.column, 1);
    int offset = 0;
    while (column > 1 && offset < text.size()) {
        offset += text.at(offset).isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
        --column;
    }
    const int position = page.lineStart(line) + offset;
    page.select(position, position, Page::Reveal::Centred);
}

void askAndGoToLine(Page &page, Platform &platform, QWidget *parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("GoToLineDialog"));
    dialog.setWindowTitle(QStringLiteral("Go to Line"));
    auto *field = new QLineEdit(&dialog);
    field->setObjectName(QStringLiteral("LineNumber"));
    field->setText(QString::number(page.lineAt(page.caret()) + 1));
    field->selectAll();
    auto *layout = new QFormLayout(&dialog);
    auto *prompt =
        new QLabel(QStringLiteral("&Line (1-%1), or line:column:").arg(page.lineCount()), &dialog);
    prompt->setBuddy(field);
    layout->addRow(prompt, field);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (parseLineTarget(field->text())) {
            dialog.accept();
            return;
        }
        platform.showError(&dialog, QStringLiteral("Go to Line"),
                           QStringLiteral("\"%1\" is not a line number. Type a line number, "
                                          "or a line and a column as 12:5.")
                               .arg(field->text()));
        field->selectAll();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    goToLine(page, *parseLineTarget(field->text()));
}

} // namespace vellumo

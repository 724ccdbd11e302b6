#include "generators/frame_wizard.h"

#include "widgets/number_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vellumo {

namespace {

constexpr int HelpTopic = 45;
const QString Caption = QStringLiteral("Frame Wizard");
const QString StartCount = QString::number(MinimumFrameCount);
const QString StartAddress = QStringLiteral("http://");
const QString StartScrolling = QStringLiteral("Auto");

// A small white page divided into `parts` rows or columns, to show what each
// choice makes of the page.
QPixmap layoutPicture(FrameOrientation orientation, int parts) {
    QPixmap picture(48, 56);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const QRect page(2, 2, 43, 51);
    painter.fillRect(page, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(page);
    for (int i = 1; i < parts; ++i) {
        if (orientation == FrameOrientation::Rows) {
            const int y = page.top() + page.height() * i / parts;
            painter.drawLine(page.left(), y, page.right(), y);
        } else {
            const int x = page.left() + page.width() * i / parts;
            painter.drawLine(x, page.top(), x, page.bottom());
        }
    }
    return picture;
}

QLabel *pictureLabel(FrameOrientation orientation, int parts, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setPixmap(layoutPicture(orientation, parts));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QString groupNumberName(const char *kind, int number) {
    return QString::fromLatin1(kind) + QString::number(number);
}

QString startName(int group) {
    return QStringLiteral("Frame ") + QString::number(group);
}

} // namespace

TForm13::TForm13(DialogContext &context, QWidget *parent)
    : ElementDialog(context, DialogTraits{QStringLiteral("Form13"), Caption, HelpTopic, true},
                    parent) {
    auto *question =
        new QLabel(QStringLiteral("Do you want to divide the page into rows or columns?"), body());
    rowsButton = new QRadioButton(QStringLiteral("Rows"), body());
    rowsButton->setObjectName(QStringLiteral("RadioButton1"));
    rowsButton->setChecked(true);
    columnsButton = new QRadioButton(QStringLiteral("Columns"), body());
    columnsButton->setObjectName(QStringLiteral("RadioButton2"));
    auto *countLabel = new QLabel(QStringLiteral("How many frames do you want?"), body());
    Count = new NumberField(QStringLiteral("Edit1"), QStringLiteral("UpDown1"), MinimumFrameCount,
                            MaximumFrameCount, body());
    countField = Count->edit();
    countField->setText(StartCount);
    countLabel->setBuddy(countField);

    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(question, 0, 0, 1, 2);
    grid->addWidget(pictureLabel(FrameOrientation::Rows, 4, body()), 1, 0);
    grid->addWidget(pictureLabel(FrameOrientation::Columns, 5, body()), 1, 1);
    grid->addWidget(rowsButton, 2, 0, Qt::AlignHCenter);
    grid->addWidget(columnsButton, 2, 1, Qt::AlignHCenter);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(countLabel);
    countRow->addWidget(Count);
    countRow->addStretch();
    Count->setFixedWidth(48);
    grid->addLayout(countRow, 3, 0, 1, 2);

    connect(okButton(), &QPushButton::clicked, this, &TForm13::Button1Click);
    setKeyboardOrder({rowsButton, columnsButton, countField});
}

void TForm13::setFrameDetails(TForm14 *step2) {
    if (m_step2 != nullptr)
        disconnect(m_step2, nullptr, this, nullptr);
    m_step2 = step2;
    if (m_step2 != nullptr)
        connect(m_step2, &TForm14::frameWizardReset, this, &TForm13::resetLayout);
}

std::optional<FrameLayout> TForm13::frameLayout() const {
    const std::optional<int> count = frameCountFromText(countField->text());
    if (!count)
        return std::nullopt;
    return FrameLayout{rowsButton->isChecked() ? FrameOrientation::Rows : FrameOrientation::Columns,
                       *count};
}

void TForm13::resetLayout() {
    rowsButton->setChecked(true);
    countField->setText(StartCount);
}

void TForm13::Button1Click() {
    const std::optional<FrameLayout> layout = frameLayout();
    // A count the size table does not know would give a frameset without frames.
    if (!layout) {
        reportError(QStringLiteral("The number of frames must be from %1 to %2.")
                        .arg(MinimumFrameCount)
                        .arg(MaximumFrameCount));
        return;
    }
    if (m_step2 != nullptr)
        m_step2->runFor(*layout);
    // However step 2 ended, the wizard ends with it.
    accept();
}

TForm14::TForm14(DialogContext &context, QWidget *parent)
    : ElementDialog(context, DialogTraits{QStringLiteral("Form14"), Caption, HelpTopic, false},
                    parent) {
    auto *grid = new QGridLayout(body());
    grid->setContentsMargins(0, 0, 0, 0);
    QList<QWidget *> order;
    for (int k = 1; k <= GroupCount; ++k) {
        auto *box = new QGroupBox(startName(k), body());
        box->setObjectName(groupNumberName("GroupBox", k));
        FrameGroup &group = Groups[std::size_t(k - 1)];
        group.name = makeTextField(box, groupNumberName("Edit", 2 * k - 1));
        group.address = makeTextField(box, groupNumberName("Edit", 2 * k));
        group.scrolling =
            makeListField(box, groupNumberName("ComboBox", k),
                          {QStringLiteral("Auto"), QStringLiteral("Yes"), QStringLiteral("No")});
        group.noResize = new QCheckBox(QStringLiteral("No Resize"), box);
        group.noResize->setObjectName(groupNumberName("CheckBox", k));

        auto *fields = new QGridLayout(box);
        fields->addWidget(new QLabel(QStringLiteral("Name"), box), 0, 0);
        fields->addWidget(group.name, 0, 1);
        fields->addWidget(new QLabel(QStringLiteral("URL"), box), 1, 0);
        fields->addWidget(group.address, 1, 1);
        fields->addWidget(new QLabel(QStringLiteral("Scrolling"), box), 2, 0);
        fields->addWidget(group.scrolling, 2, 1);
        fields->addWidget(group.noResize, 3, 1);
        group.name->setMinimumWidth(180);

        // Groups 1 to 4 down the left column, 5 to 8 down the right one.
        grid->addWidget(box, (k - 1) % 4, (k - 1) / 4);
        order << group.name << group.address << group.scrolling << group.noResize;
    }
    ResetFrameWizard();

    connect(okButton(), &QPushButton::clicked, this, &TForm14::BuildFrameset);
    setKeyboardOrder(order);
}

int TForm14::runFor(const FrameLayout &layout) {
    m_layout = layout;
    return exec();
}

QList<FrameSettings> TForm14::frames() const {
    QList<FrameSettings> result;
    for (const FrameGroup &group : Groups)
        result.append({group.name->text(), group.address->text(), group.scrolling->currentText(),
                       group.noResize->isChecked()});
    return result;
}

void TForm14::BuildFrameset() {
    insertAndClose(buildFrameset(m_layout, frames(), markupStyle()));
}

void TForm14::ResetFrameWizard() {
    for (int k = 1; k <= GroupCount; ++k) {
        const FrameGroup &group = Groups[std::size_t(k - 1)];
        group.name->setText(startName(k));
        group.address->setText(StartAddress);
        group.scrolling->setCurrentIndex(0);
        group.scrolling->setEditText(StartScrolling);
        group.noResize->setChecked(false);
    }
    m_layout = FrameLayout{};
    Q_EMIT frameWizardReset();
}

void TForm14::FormCloseQuery() {
    ResetFrameWizard();
}

} // namespace vellumo

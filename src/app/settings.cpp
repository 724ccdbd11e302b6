#include "app/settings.h"

#include "platform/platform.h"

namespace vellumo {

QString AppSettings::text(const QString &name) const {
    return m_platform.readSetting(name).toString();
}

bool AppSettings::lowerCaseStored() const {
    return text(QStringLiteral("Upercase")) == u"No";
}

void AppSettings::storeTagCase(bool upper) {
    m_platform.writeSetting(QStringLiteral("Upercase"),
                            upper ? QStringLiteral("Yes") : QStringLiteral("No"));
}

bool AppSettings::panelHidden() const {
    const QVariant value = m_platform.readSetting(QStringLiteral("Panel"));
    bool isNumber = false;
    return value.isValid() && value.toInt(&isNumber) == 1 && isNumber;
}

void AppSettings::storePanelShown(bool shown) {
    m_platform.writeSetting(QStringLiteral("Panel"), shown ? 2 : 1);
}

bool AppSettings::tipAtStartup() const {
    return text(QStringLiteral("Tip")) != u"No";
}

void AppSettings::storeTipAtStartup(bool show) {
    m_platform.writeSetting(QStringLiteral("Tip"),
                            show ? QStringLiteral("Yes") : QStringLiteral("No"));
}

bool AppSettings::syntaxColouring() const {
    return text(QStringLiteral("Highlight")) != u"No";
}

void AppSettings::storeSyntaxColouring(bool on) {
    m_platform.writeSetting(QStringLiteral("Highlight"),
                            on ? QStringLiteral("Yes") : QStringLiteral("No"));
}

bool AppSettings::lineNumbersShown() const {
    return text(QStringLiteral("LineNumbers")) != u"No";
}

void AppSettings::storeLineNumbersShown(bool shown) {
    m_platform.writeSetting(QStringLiteral("LineNumbers"),
                            shown ? QStringLiteral("Yes") : QStringLiteral("No"));
}

bool AppSettings::autoComplete() const {
    return text(QStringLiteral("AutoComplete")) != u"No";
}

bool AppSettings::abbreviationTab() const {
    return text(QStringLiteral("AbbreviationTab")) == u"Yes";
}

bool AppSettings::checkOnSave() const {
    return text(QStringLiteral("CheckOnSave")) == u"Yes";
}

void AppSettings::storeCheckOnSave(bool check) {
    m_platform.writeSetting(QStringLiteral("CheckOnSave"),
                            check ? QStringLiteral("Yes") : QStringLiteral("No"));
}

bool AppSettings::allToEntities() const {
    return text(QStringLiteral("AllToEntities")) == u"Yes";
}

void AppSettings::storeAllToEntities(bool all) {
    m_platform.writeSetting(QStringLiteral("AllToEntities"),
                            all ? QStringLiteral("Yes") : QStringLiteral("No"));
}

QString AppSettings::nextTipNumber() const {
    const QVariant value = m_platform.readSetting(QStringLiteral("TNumber"));
    return value.isValid() ? value.toString() : QStringLiteral("0");
}

void AppSettings::storeNextTipNumber(const QString &number) {
    m_platform.writeSetting(QStringLiteral("TNumber"), number);
}

} // namespace vellumo

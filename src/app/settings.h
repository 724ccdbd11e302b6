#pragma once

#include <QString>

namespace vellumo {

class Platform;

// The values the program keeps between runs. Nothing is cached: every
// read opens the store afresh and every write goes through at once.
class AppSettings {
public:
    explicit AppSettings(Platform &platform)
        : m_platform(platform) {}

    // "Upercase": exactly "No" selects lower-case markup; anything else upper case.
    bool lowerCaseStored() const;
    void storeTagCase(bool upper);

    // "Panel": 1 hides the side panel; any other number, or none, shows it.
    bool panelHidden() const;
    void storePanelShown(bool shown);

    // "Tip": exactly "No" keeps the Tip of the Day from showing at start-up.
    bool tipAtStartup() const;
    void storeTipAtStartup(bool show);

    // "Highlight": exactly "No" draws the page without markup colours.
    bool syntaxColouring() const;
    void storeSyntaxColouring(bool on);
    // "LineNumbers": exactly "No" hides the line-number gutter.
    bool lineNumbersShown() const;
    void storeLineNumbersShown(bool shown);
    // "AutoComplete": exactly "No" keeps the editor from completing names and end tags.
    bool autoComplete() const;
    // "AbbreviationTab": exactly "Yes" lets Tab right after an abbreviation expand it.
    bool abbreviationTab() const;
    // "CheckOnSave": exactly "Yes" checks the page after every successful save.
    bool checkOnSave() const;
    void storeCheckOnSave(bool check);

    // "AllToEntities": exactly "Yes" makes Characters to Entities write every character
    // outside ASCII as a reference; otherwise only those the page's encoding cannot hold.
    bool allToEntities() const;
    void storeAllToEntities(bool all);

    // "TNumber": the number of the next tip, as stored text ("0" when missing).
    QString nextTipNumber() const;
    void storeNextTipNumber(const QString &number);

private:
    QString text(const QString &name) const;
    Platform &m_platform;
};

} // namespace vellumo

#pragma once
// The help window `ftrHelp`: the user's manual (shell/Manual.h) with its contents on the left, a
// search box above them, and the page on the right, all from the program's resources, with no
// browser and no network. F1 opens it at the section of the window that is active.
//
//   help::show(this, "register");   // from anywhere: the one help window, at that section
//   help::installF1Key(mainWindow); // F1 in every window of the program
#include <QWidget>

class Manual;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTreeWidget;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(const Manual& manual, QWidget* parent = nullptr);

    // Shows the section of that name (its page, scrolled to its heading); false when there is none.
    bool showSection(const QString& id);
    // The section shown last: "register".
    const QString& currentSection() const { return section_; }
    // Searches the manual: the sections holding every word take the contents' place until the box
    // is cleared.
    void search(const QString& text);

private:
    void showPage(const QString& page);
    void fillContents();
    void followLink(const QUrl& url);

    const Manual& manual_;
    QLineEdit* searchBox_;
    QTreeWidget* contents_;
    QListWidget* results_;
    QTextBrowser* text_;
    QString page_;
    QString section_;
};

namespace help {

// The section F1 opens for `widget`: that of the first window around it that names one, the
// active child window's for the main window; "main" when none does.
QString sectionFor(QWidget* widget);
// Shows the help window at `section`. Over a modal dialog the help window is the dialog's own
// (a window beside it would not take the keys while the dialog is open); otherwise there is one,
// kept for the session under `owner`. Returns it.
HelpWindow* show(QWidget* owner, const QString& section);
// F1 anywhere in the program opens the help at the active window's section.
void installF1Key(QWidget* owner);

} // namespace help

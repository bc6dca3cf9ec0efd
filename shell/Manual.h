#pragma once
// The user's manual: Markdown pages in the program's resources (help/manual, built in), read into
// sections by their headings. A heading may carry its section's name for links and for the F1 key:
// "## Штатный список {#register}". Pages link to sections by name: [план](#plan).
//
//   const Manual& manual = Manual::instance();
//   manual.section("register");         // where it is and what it is called
//   manual.search("сертификат истекает"); // the sections holding every word
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Manual {
public:
    struct Section {
        QString id;    // "register"; empty for a heading without a name
        QString title; // "Штатный список"
        QString page;  // "people.md"
        int level = 1; // 1 for "#", 2 for "##"…
        QString text;  // the section's own text up to the next heading, for the search
    };

    // The manual built into the program.
    static const Manual& instance();
    // A manual read from the folder `folder` (pages listed in its "pages.txt", in order).
    explicit Manual(const QString& folder);

    // The pages in the order of reading.
    const QStringList& pages() const { return pages_; }
    // Every heading of every page, in the order of reading.
    const QList<Section>& sections() const { return sections_; }
    // The section of that name; nullptr when there is none.
    const Section* section(const QString& id) const;
    // The page as Qt's Markdown reader takes it: section names taken out of the headings.
    QString markdown(const QString& page) const;
    // The sections whose title or text holds every word of `query` (letter case and Ё aside), in
    // the order of reading; none for an empty query.
    QList<Section> search(const QString& query) const;
    // The names of sections the pages link to ("#plan") that are no section of the manual.
    QStringList brokenLinks() const;
    // The pictures the pages show ("images/ftrPersonal.png"), as written.
    QStringList pictures() const;
    // The folder the pages are read from; pictures are found relative to it.
    const QString& folder() const { return folder_; }

private:
    QString folder_;
    QStringList pages_;
    QHash<QString, QString> text_; // page → its Markdown as written
    QList<Section> sections_;
};

#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

// A copy of the design on the screen, kept while it differs from its file, so that work
// typed into a program that then crashes, is killed or loses its power is offered again
// at the next start. Each running program keeps its own copy, with a lock it holds while
// it runs; a copy whose lock no running program holds was left behind.
//
// The folder is the user's own: made 0700, refused when it is a link or someone else's;
// copies are 0600. Nothing found in it is read or waited on unless it is a regular file,
// and a lock is tested by taking it, never by what its file says.
class Recovery {
public:
    // A lock on a copy taken with flock(): held until this goes, and by no one else.
    class Lock;

    // Copies go into `folder`, made (owner only) when the first one is written.
    explicit Recovery(QString folder);
    ~Recovery(); // the copy stays: only discard() takes it away
    Recovery(const Recovery &) = delete;
    Recovery &operator=(const Recovery &) = delete;

    // Where the program keeps the copies: the user's own data folder.
    static QString DefaultFolder();

    // Keeps `design`, the work on `designFile` (empty for a new design); the reason when it
    // could not be written.
    QString store(const QJsonObject &design, const QString &designFile);
    // The work is in its file, or was given up on purpose: its copy goes.
    void discard();

    struct Copy {
        QString path;       // the copy, a design file
        QString designFile; // what it was the work on; empty for a new design
        QDateTime written;
        // Held while the copy is offered, so that no other program offers it meanwhile.
        std::shared_ptr<const Lock> lock;
    };
    // A start offers this many at most; the rest wait for the next one.
    static constexpr std::size_t kMostOffered = 5;
    // The copies of programs that ended without putting their work away, the newest first,
    // each locked until the copy is let go; the temporaries a write cut short left beside
    // them, and locks and names with no copy left, are cleaned on the way.
    std::vector<Copy> leftBehind() const;
    // Takes a copy away, once restored or given up.
    static void remove(const Copy &copy);

private:
    QString folder_;
    QString path_;                  // this program's copy
    std::optional<QString> source_; // what its `.source` names, once written
    std::unique_ptr<Lock> lock_;
};

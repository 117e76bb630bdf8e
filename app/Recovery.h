#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// A copy of the design on the screen, kept while it differs from its file, so that work
// typed into a program that then crashes, is killed or loses its power is offered again
// at the next start. Each running program keeps its own copy, with a lock it holds while
// it runs; a copy whose lock no running program holds was left behind.
class Recovery {
public:
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
    };
    // The copies of programs that ended without putting their work away, the newest first.
    std::vector<Copy> leftBehind() const;
    // Takes a copy away, once restored or given up.
    static void remove(const Copy &copy);

private:
    QString folder_;
    QString path_;                  // this program's copy
    std::optional<QString> source_; // what its `.source` names, once written
    std::unique_ptr<QLockFile> lock_;
};

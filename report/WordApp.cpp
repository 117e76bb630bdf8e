#include "WordApp.h"

#include "DocumentViewer.h"
#include "OfficeBackend.h"
#include "RtfWordProcessor.h"

#include <QFile>

#include <exception>
#include <memory>

namespace {

std::unique_ptr<WordProcessor> wordApp;
WordBackend backendChoice = WordBackend::preferred;

// Every operation runs inside this guard: whatever goes wrong is a false.
template <typename Operation>
bool Guarded(Operation &&operation)
{
    try {
        return operation();
    } catch (...) {
        return false;
    }
}

std::unique_ptr<WordProcessor> MakeWordProcessor()
{
    if (backendChoice != WordBackend::builtIn) {
        if (auto office = CreateOfficeWordProcessor()) return office;
        if (backendChoice == WordBackend::office) return nullptr;
    }
    return std::make_unique<RtfWordProcessor>(&ShowFilledDocument);
}

} // namespace

void SetWordBackend(WordBackend backend) { backendChoice = backend; }

bool CreateWord()
{
    return Guarded([] {
        auto created = MakeWordProcessor();
        if (!created) return false;
        wordApp = std::move(created);
        return true;
    });
}

bool SetWordVisible(bool visible)
{
    return Guarded([visible] { return wordApp && wordApp->SetWordVisible(visible); });
}

bool OpenDocument(const QString &path)
{
    const std::filesystem::path file(QFile::encodeName(path).toStdString());
    if (Guarded([&file] { return wordApp && wordApp->OpenDocument(file); })) return true;
    // An office that cannot open the template does not cost the user the report: the
    // built-in engine opens it instead, when the choice allows.
    if (backendChoice != WordBackend::preferred || !wordApp ||
        dynamic_cast<RtfWordProcessor *>(wordApp.get()))
        return false;
    return Guarded([&file] {
        auto builtIn = std::make_unique<RtfWordProcessor>(&ShowFilledDocument);
        if (!builtIn->OpenDocument(file)) return false;
        wordApp = std::move(builtIn);
        return true;
    });
}

bool SelectionToStart()
{
    return Guarded([] { return wordApp && wordApp->SelectionToStart(); });
}

bool ReplacePlaceholder(const QString &placeholder, const QString &value)
{
    return Guarded([&] {
        return wordApp &&
               wordApp->ReplacePlaceholder(placeholder.toStdString(), value.toStdString());
    });
}

WordProcessor *WordApp() { return wordApp.get(); }

void ReleaseWordApp() { wordApp.reset(); }

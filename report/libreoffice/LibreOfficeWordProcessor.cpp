#include "report/libreoffice/LibreOfficeWordProcessor.h"

#include "report/OfficeBackend.h"
#include "report/engine/OfficeProgram.h"
#include "report/engine/RegularFile.h"
#include "report/libreoffice/LibreOfficeState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QUrl>

#include <com/sun/star/awt/PosSize.hpp>
#include <com/sun/star/awt/Rectangle.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/graphic/XGraphicProvider.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;

OUString Unicode(std::string_view text)
{
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string Utf8(const OUString &text)
{
    const OString bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

Reference<css::text::XTextRange> FindAfter(const Reference<css::lang::XComponent> &document,
                                           const Reference<css::text::XTextRange> &from,
                                           const OUString &search)
{
    const Reference<css::util::XSearchable> searchable(document, UNO_QUERY_THROW);
    const Reference<css::util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
    descriptor->setSearchString(search);
    const Reference<css::beans::XPropertySet> properties(descriptor, UNO_QUERY_THROW);
    properties->setPropertyValue(OUString("SearchCaseSensitive"), css::uno::Any(true));
    return Reference<css::text::XTextRange>(from.is() ? searchable->findNext(from, descriptor)
                                                      : searchable->findFirst(descriptor),
                                            UNO_QUERY);
}

static OUString Unicode(const QString &text)
{
    return Unicode(text.toStdString());
}

namespace {

// The component context of this process's UNO runtime, made once: a process has one UNO
// runtime, whatever the reports. Without the bootstrap variable set first, the first call
// into the office crashes the process outright.
Reference<css::uno::XComponentContext> LocalContext()
{
    static const Reference<css::uno::XComponentContext> context = [] {
        // The bridge writes to the office's pipe without MSG_NOSIGNAL: an office that died
        // would end this process with SIGPIPE instead of failing the call. Process-wide, as
        // the signal's disposition is; no part of the program wants the signal.
        std::signal(SIGPIPE, SIG_IGN);
        rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"),
                            Unicode(std::string("vnd.sun.star.pathname:") + kOfficeProgramFolder +
                                    "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

QString OfficeProgram(const QString &configured)
{
    const auto found = FindOfficeProgram(QFile::encodeName(configured).toStdString());
    return found ? QFile::decodeName(QByteArray::fromStdString(found->string())) : QString();
}

// A pipe name nobody else can know beforehand, so nobody can listen on it first.
QString RandomPipeName()
{
    return QStringLiteral("telmar-%1-%2")
        .arg(::getuid())
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

// Starts the office in a session and process group of its own, so that it can be ended as
// a whole; a thread of its own reaps it whenever it ends, and then sets `ended`. 0 when it
// cannot be started.
pid_t StartInOwnGroup(const QString &program, const QStringList &arguments,
                      std::shared_ptr<std::atomic<bool>> ended)
{
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, storage.front().constData(), &actions, &attributes,
                                     argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed) return 0;
    // The office goes with this process even when it is killed outright; the watch is let go
    // once the office has been reaped.
    std::thread([pid, ended = std::move(ended), watch = std::make_shared<GroupWatch>(pid)] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        *ended = true;
    }).detach();
    return pid;
}

// Ends a process group: politely first, then for good. Whether there was one to end.
bool EndGroup(pid_t group)
{
    if (group <= 0 || ::kill(-group, SIGTERM) != 0) return false;
    for (int i = 0; i < 30; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::kill(-group, 0) != 0) return true;
    }
    ::kill(-group, SIGCONT); // a stopped office cannot take its TERM
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (::kill(-group, 0) != 0) return true;
    }
    ::kill(-group, SIGKILL);
    return true;
}

// The places of the socket an office listening on `pipe` leaves in the temporary folder when
// it is ended: the run's own name, so nobody else's. The office puts it in /tmp, or in TMPDIR.
std::vector<QByteArray> PipeSockets(const QString &pipe)
{
    const QString name = QStringLiteral("OSL_PIPE_%1_%2").arg(::getuid()).arg(pipe);
    std::vector<QByteArray> paths;
    for (const QString &folder : {QStringLiteral("/tmp"), qEnvironmentVariable("TMPDIR")})
        if (!folder.isEmpty()) paths.push_back(QFile::encodeName(QDir(folder).filePath(name)));
    return paths;
}

void RemoveSockets(const std::vector<QByteArray> &paths)
{
    for (const QByteArray &path : paths) {
        struct stat status {};
        if (::lstat(path.constData(), &status) == 0 && S_ISSOCK(status.st_mode) &&
            status.st_uid == ::getuid())
            ::unlink(path.constData());
    }
}

void RemovePipeSocket(const QString &pipe)
{
    RemoveSockets(PipeSockets(pipe));
}

} // namespace

void EndRunsOffice(OfficeRun &run)
{
    run.over = true; // a connection under way gives up at once
    const auto group = static_cast<pid_t>(run.startedProcess.exchange(0));
    if (group <= 0) return;
    // An office takes a second or two to end, and the program that ends it is usually ending
    // too: it is asked at once and made to on a thread of its own, which the caller does not
    // wait for. Its reaper reaps it meanwhile; should this process end first, the office's
    // group watch ends it, and what is left of it is reaped by the system.
    ::kill(-group, SIGTERM);
    std::thread([group, sockets = run.pipeName.isEmpty() ? std::vector<QByteArray>{}
                                                         : PipeSockets(run.pipeName)] {
        EndGroup(group);
        RemoveSockets(sockets);
    }).detach();
}

bool OfficeShowsWindows(const QString &program)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    const QDir folder = QFileInfo(QFileInfo(program).canonicalFilePath()).dir();
    return !folder.entryList({QStringLiteral("libvclplug_*")}, QDir::Files).isEmpty();
}

LibreOfficeWordProcessor::LibreOfficeWordProcessor(std::shared_ptr<State> state,
                                                   std::shared_ptr<OfficeRun> run)
    : state_(std::move(state)), run_(std::move(run))
{
}

LibreOfficeWordProcessor::Connection
LibreOfficeWordProcessor::connect(const OfficeOptions &options, std::shared_ptr<OfficeRun> run)
{
    const auto none = [] { return Connection{}; };
    const auto failed = [] { return Connection{.office = nullptr, .failed = true}; };
    const QString program = OfficeProgram(options.program);
    if (program.isEmpty()) return none();
    // An office that can fill but never show would leave the user with nothing on screen.
    if (!options.headless && !OfficeShowsWindows(program)) return none();

    auto state = std::make_shared<State>();
    state->callDeadline = options.callDeadline;
    state->worker = std::thread([state] { state->loop(); });
    // Without a run of its own the office is this connection's alone.
    if (!run) run = std::make_shared<OfficeRun>();
    std::unique_ptr<LibreOfficeWordProcessor> office(new LibreOfficeWordProcessor(state, run));

    // The run's own pipe, unless the options name one; an office started on it is the run's.
    const bool runsPipe = options.pipeName.isEmpty();
    if (runsPipe && run->pipeName.isEmpty()) run->pipeName = RandomPipeName();
    const QString pipe = runsPipe ? run->pipeName : options.pipeName;
    const OUString url =
        Unicode(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe));
    // Set once an office this connection started has ended: waiting on it is over.
    const auto ended = std::make_shared<std::atomic<bool>>(false);
    // The program ended the run's office, as it does when it ends: waiting is over too.
    const auto over = [run, runsPipe] { return runsPipe && run->over.load(); };
    const auto reach = [state, url, ended, over](std::chrono::steady_clock::time_point deadline) {
        const auto resolver = css::bridge::UnoUrlResolver::create(LocalContext());
        for (;;) {
            try {
                const Reference<css::uno::XComponentContext> remote(resolver->resolve(url),
                                                                    UNO_QUERY_THROW);
                state->desktop = css::frame::Desktop::create(remote);
                state->context = remote;
                return true;
            } catch (const css::connection::NoConnectException &) {
                if (std::chrono::steady_clock::now() >= deadline || *ended || over()) return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    };

    // An office that listens already is used as it is.
    if (state->run([reach] { return reach(std::chrono::steady_clock::now()); },
                   options.connectDeadline)) {
        if (runsPipe) state->processId = run->startedProcess.load();
        return {.office = std::move(office)};
    }
    if (state->unresponsive) {
        // The run's own office, stopped or hung, goes with its group rather than stay so.
        if (runsPipe) EndGroup(static_cast<pid_t>(run->startedProcess.exchange(0)));
        return failed();
    }

    if (over()) return none();
    // Otherwise start one; a running office hands the arguments on and starts listening.
    QStringList arguments{QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe),
                          QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                          QStringLiteral("--nodefault")};
    if (options.headless) arguments << QStringLiteral("--headless");
    if (!options.profileUrl.isEmpty())
        arguments << QStringLiteral("-env:UserInstallation=%1").arg(options.profileUrl);
    state->processId = StartInOwnGroup(program, arguments, ended);
    if (state->processId == 0) return failed();
    if (runsPipe) run->startedProcess = state->processId;

    const auto deadline = std::chrono::steady_clock::now() + options.connectDeadline;
    if (!state->run([reach, deadline] { return reach(deadline); },
                    options.connectDeadline + std::chrono::seconds(5))) {
        if (over()) {
            // The program ends and has ended the run's office, or ends this one now should
            // it have come too late to be ended so; neither is waited for.
            state->processId = 0;
            EndRunsOffice(*run);
            return none();
        }
        // Read before ending it ourselves. A wait that failed before its deadline may have
        // met an office on its way out: its end is looked for a moment longer.
        for (int i = 0; i < 20 && !*ended && std::chrono::steady_clock::now() < deadline; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const bool endedItself = *ended;
        office->endStartedProgram();
        return {.office = nullptr, .failed = true, .ended = endedItself};
    }
    return {.office = std::move(office)};
}

void LibreOfficeWordProcessor::endStartedProgram() noexcept
{
    state_->unresponsive = true; // nothing more is asked of it
    const auto group = static_cast<pid_t>(std::exchange(state_->processId, 0));
    qint64 expected = group;
    const bool runs = run_->startedProcess.compare_exchange_strong(expected, 0);
    if (EndGroup(group) && runs && !run_->pipeName.isEmpty()) RemovePipeSocket(run_->pipeName);
}

LibreOfficeWordProcessor::~LibreOfficeWordProcessor()
{
    // Only the references go: the office and the document shown stay with the user. An
    // office that does not let go at once is not waited for.
    state_->run(
        [state = state_.get()] {
            state->viewCursor.clear();
            state->document.clear();
            state->desktop.clear();
            state->context.clear();
            return true;
        },
        std::chrono::milliseconds(1500));
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_one();
    if (state_->unresponsive)
        state_->worker.detach(); // it may never come back
    else
        state_->worker.join();
}

bool LibreOfficeWordProcessor::OpenDocument(const std::filesystem::path &path)
{
    // The office reads a copy with a plain name: the template's folder is Cyrillic, and an
    // office whose locale is not UTF-8 cannot open such a path. The copy goes once loaded.
    const std::optional<std::string> rtf = ReadRegularFile(path);
    if (!rtf) return false;
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/telmar-template-XXXXXX.rtf"));
    if (!copy.open() ||
        copy.write(rtf->data(), static_cast<qint64>(rtf->size())) !=
            static_cast<qint64>(rtf->size()) ||
        !copy.flush())
        return false;
    const OUString url = Unicode(QUrl::fromLocalFile(copy.fileName()).toString(QUrl::FullyEncoded));
    return state_->run([state = state_.get(), url] {
        // A new, untitled document made from the template: the template is never the
        // document, so saving cannot write over it.
        css::uno::Sequence<css::beans::PropertyValue> arguments(2);
        auto *argument = arguments.getArray();
        argument[0].Name = OUString("Hidden");
        argument[0].Value <<= true;
        argument[1].Name = OUString("AsTemplate");
        argument[1].Value <<= true;
        const Reference<css::frame::XComponentLoader> loader(state->desktop, UNO_QUERY_THROW);
        const Reference<css::lang::XComponent> document =
            loader->loadComponentFromURL(url, OUString("_blank"), 0, arguments);
        const Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
        const Reference<css::text::XTextViewCursorSupplier> views(model->getCurrentController(),
                                                                  UNO_QUERY_THROW);
        state->viewCursor = views->getViewCursor();
        state->document = document;
        return state->viewCursor.is();
    });
}

bool LibreOfficeWordProcessor::SelectionToStart()
{
    return state_->run([state = state_.get()] {
        if (!state->viewCursor.is()) return false;
        // The start of the document itself: gotoStart would stop at the start of the table
        // cell the cursor stands in.
        const Reference<css::text::XTextDocument> document(state->document, UNO_QUERY_THROW);
        state->viewCursor->gotoRange(document->getText()->getStart(), false);
        return true;
    });
}

namespace {

// The character formatting a value takes over from the placeholder it replaces: setString
// alone would leave the value in the paragraph's plain formatting.
constexpr const char *kCharacterProperties[] = {
    "CharWeight",   "CharPosture",    "CharUnderline",        "CharHeight",
    "CharFontName", "CharEscapement", "CharEscapementHeight", "CharColor"};

} // namespace

bool LibreOfficeWordProcessor::ReplacePlaceholder(std::string_view placeholder,
                                                  std::string_view value)
{
    return state_->run(
        [state = state_.get(), search = Unicode(placeholder), text = Unicode(value)] {
            if (!state->viewCursor.is()) return false;
            const Reference<css::text::XTextRange> found =
                FindAfter(state->document, state->viewCursor->getStart(), search);
            if (!found.is()) return false;
            const Reference<css::beans::XPropertySet> format(found, UNO_QUERY_THROW);
            std::vector<std::pair<OUString, css::uno::Any>> kept;
            for (const char *name : kCharacterProperties) {
                const OUString property = OUString::createFromAscii(name);
                kept.emplace_back(property, format->getPropertyValue(property));
            }
            found->setString(text);
            for (const auto &[property, value] : kept) {
                try {
                    format->setPropertyValue(property, value);
                } catch (const css::uno::Exception &) {
                    // a property the inserted text cannot take is left as it is
                }
            }
            state->viewCursor->gotoRange(found->getEnd(), false);
            return true;
        });
}

bool LibreOfficeWordProcessor::replaceWithPicture(std::string_view placeholder,
                                                  const std::string &png, int widthTwips,
                                                  int heightTwips)
{
    // The office loads the picture from a file of its own name, gone once it is loaded.
    auto file = std::make_shared<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/telmar-drawing-XXXXXX.png"));
    if (!file->open() ||
        file->write(png.data(), static_cast<qint64>(png.size())) !=
            static_cast<qint64>(png.size()) ||
        !file->flush())
        return false;
    const OUString url =
        Unicode(QUrl::fromLocalFile(file->fileName()).toString(QUrl::FullyEncoded));
    return state_->run([state = state_.get(), search = Unicode(placeholder), url, file, widthTwips,
                        heightTwips] {
        if (!state->viewCursor.is()) return false;
        const Reference<css::text::XTextRange> found =
            FindAfter(state->document, state->viewCursor->getStart(), search);
        if (!found.is()) return false;
        const Reference<css::graphic::XGraphicProvider> provider =
            css::graphic::GraphicProvider::create(state->context);
        css::uno::Sequence<css::beans::PropertyValue> source(1);
        source.getArray()[0].Name = OUString("URL");
        source.getArray()[0].Value <<= url;
        const Reference<css::graphic::XGraphic> graphic = provider->queryGraphic(source);
        if (!graphic.is()) return false;
        const Reference<css::lang::XMultiServiceFactory> factory(state->document, UNO_QUERY_THROW);
        const Reference<css::text::XTextContent> picture(
            factory->createInstance(OUString("com.sun.star.text.TextGraphicObject")),
            UNO_QUERY_THROW);
        const Reference<css::beans::XPropertySet> properties(picture, UNO_QUERY_THROW);
        properties->setPropertyValue(OUString("Graphic"), css::uno::Any(graphic));
        properties->setPropertyValue(OUString("AnchorType"),
                                     css::uno::Any(css::text::TextContentAnchorType_AS_CHARACTER));
        // Twips to hundredths of a millimetre.
        properties->setPropertyValue(OUString("Width"),
                                     css::uno::Any(sal_Int32(widthTwips * 127 / 72)));
        properties->setPropertyValue(OUString("Height"),
                                     css::uno::Any(sal_Int32(heightTwips * 127 / 72)));
        found->setString(OUString());
        found->getText()->insertTextContent(found, picture, true);
        state->viewCursor->gotoRange(found->getEnd(), false);
        return true;
    });
}

bool LibreOfficeWordProcessor::removeParagraphOf(std::string_view placeholder)
{
    return state_->run([state = state_.get(), search = Unicode(placeholder)] {
        if (!state->viewCursor.is()) return false;
        const Reference<css::text::XTextRange> found =
            FindAfter(state->document, state->viewCursor->getStart(), search);
        if (!found.is()) return false;
        const Reference<css::text::XText> text = found->getText();
        const Reference<css::text::XParagraphCursor> cursor(text->createTextCursorByRange(found),
                                                            UNO_QUERY_THROW);
        cursor->gotoStartOfParagraph(false);
        cursor->gotoEndOfParagraph(true);
        // Only a paragraph of the placeholder alone goes, never what shares it.
        if (cursor->getString() != search) return false;
        const Reference<css::container::XEnumerationAccess> paragraphs(cursor, UNO_QUERY_THROW);
        const Reference<css::container::XEnumeration> each = paragraphs->createEnumeration();
        if (!each->hasMoreElements()) return false;
        const Reference<css::text::XTextContent> paragraph(each->nextElement(), UNO_QUERY_THROW);
        // The selection leaves the paragraph before it goes.
        state->viewCursor->gotoRange(text->getStart(), false);
        text->removeTextContent(paragraph);
        return true;
    });
}

bool LibreOfficeWordProcessor::SetWordVisible(bool visible)
{
    return state_->run([state = state_.get(), visible] {
        const Reference<css::frame::XModel> model(state->document, UNO_QUERY);
        if (!model.is()) return !visible; // nothing to show yet; nothing shown to hide
        const Reference<css::awt::XWindow> window =
            model->getCurrentController()->getFrame()->getContainerWindow();
        if (visible) {
            // A document loaded hidden has a frame of no size: it is given the screen's
            // work area (or a fair size where no window manager tells it), and maximized.
            const css::awt::Rectangle frame = window->getPosSize();
            if (frame.Width < 400 || frame.Height < 300) {
                css::awt::Rectangle screen =
                    css::awt::Toolkit::create(state->context)->getWorkArea();
                if (screen.Width < 400 || screen.Height < 300) screen = {0, 0, 1024, 768};
                window->setPosSize(screen.X, screen.Y, screen.Width, screen.Height,
                                   css::awt::PosSize::POSSIZE);
            }
        }
        window->setVisible(visible);
        if (visible) {
            if (const Reference<css::awt::XTopWindow2> top(window, UNO_QUERY); top.is())
                top->setIsMaximized(true);
            if (const Reference<css::awt::XTopWindow> top(window, UNO_QUERY); top.is())
                top->toFront();
            window->setFocus();
        }
        return true;
    });
}

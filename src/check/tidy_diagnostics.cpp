#include "check/tidy_diagnostics.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <dlfcn.h>

#include <mutex>

namespace vellumo {

namespace {

// The handful of entry points the check uses, looked up when the library is
// first needed rather than linked, so it is not loaded at every start.
struct TidyLibrary {
    decltype(&::tidyCreate) create = nullptr;
    decltype(&::tidyRelease) release = nullptr;
    decltype(&::tidySetAppData) setAppData = nullptr;
    decltype(&::tidyGetAppData) getAppData = nullptr;
    decltype(&::tidyOptSetBool) optSetBool = nullptr;
    decltype(&::tidyOptSetInt) optSetInt = nullptr;
    decltype(&::tidyOptSetValue) optSetValue = nullptr;
    decltype(&::tidySetErrorBuffer) setErrorBuffer = nullptr;
    decltype(&::tidyBufInit) bufInit = nullptr;
    decltype(&::tidyBufFree) bufFree = nullptr;
    decltype(&::tidySetMessageCallback) setMessageCallback = nullptr;
    decltype(&::tidyGetMessageDoc) messageDoc = nullptr;
    decltype(&::tidyGetMessageLine) messageLine = nullptr;
    decltype(&::tidyGetMessageColumn) messageColumn = nullptr;
    decltype(&::tidyGetMessageLevel) messageLevel = nullptr;
    decltype(&::tidyGetMessageKey) messageKey = nullptr;
    decltype(&::tidyGetMessageDefault) messageDefault = nullptr;
    decltype(&::tidyGetMessageArguments) messageArguments = nullptr;
    decltype(&::tidyGetNextMessageArgument) nextMessageArgument = nullptr;
    decltype(&::tidyGetArgType) argType = nullptr;
    decltype(&::tidyGetArgValueString) argValueString = nullptr;
    decltype(&::tidyParseSource) parseSource = nullptr;
    decltype(&::tidyRunDiagnostics) runDiagnostics = nullptr;

    QString failure; // empty once loaded
};

template <typename Function> bool resolve(void *handle, const char *name, Function &function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

const TidyLibrary &tidyLibrary() {
    static TidyLibrary library;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        void *handle = nullptr;
        for (const char *name : {"libtidy.so.5deb1", "libtidy.so.5", "libtidy.so"}) {
            if ((handle = dlopen(name, RTLD_NOW | RTLD_LOCAL)))
                break;
        }
        if (!handle) {
            library.failure = QStringLiteral("The HTML checks need the HTML Tidy library "
                                             "(libtidy), which could not be loaded.");
            return;
        }
        const bool complete =
            resolve(handle, "tidyCreate", library.create) &&
            resolve(handle, "tidyRelease", library.release) &&
            resolve(handle, "tidySetAppData", library.setAppData) &&
            resolve(handle, "tidyGetAppData", library.getAppData) &&
            resolve(handle, "tidyOptSetBool", library.optSetBool) &&
            resolve(handle, "tidyOptSetInt", library.optSetInt) &&
            resolve(handle, "tidyOptSetValue", library.optSetValue) &&
            resolve(handle, "tidySetErrorBuffer", library.setErrorBuffer) &&
            resolve(handle, "tidyBufInit", library.bufInit) &&
            resolve(handle, "tidyBufFree", library.bufFree) &&
            resolve(handle, "tidySetMessageCallback", library.setMessageCallback) &&
            resolve(handle, "tidyGetMessageDoc", library.messageDoc) &&
            resolve(handle, "tidyGetMessageLine", library.messageLine) &&
            resolve(handle, "tidyGetMessageColumn", library.messageColumn) &&
            resolve(handle, "tidyGetMessageLevel", library.messageLevel) &&
            resolve(handle, "tidyGetMessageKey", library.messageKey) &&
            resolve(handle, "tidyGetMessageDefault", library.messageDefault) &&
            resolve(handle, "tidyGetMessageArguments", library.messageArguments) &&
            resolve(handle, "tidyGetNextMessageArgument", library.nextMessageArgument) &&
            resolve(handle, "tidyGetArgType", library.argType) &&
            resolve(handle, "tidyGetArgValueString", library.argValueString) &&
            resolve(handle, "tidyParseSource", library.parseSource) &&
            resolve(handle, "tidyRunDiagnostics", library.runDiagnostics);
        if (!complete)
            library.failure = QStringLiteral("The HTML checks need a newer HTML Tidy library "
                                             "(libtidy 5.6 or later).");
    });
    return library;
}

// What Tidy reads from: the page's bytes, cut short as soon as the user stops.
struct Feed {
    const QByteArray &bytes;
    const std::atomic_bool &cancel;
    qsizetype at = 0;
    TidyRun *run = nullptr;
};

int TIDY_CALL nextByte(void *data) {
    auto *feed = static_cast<Feed *>(data);
    if (feed->at >= feed->bytes.size() || feed->cancel.load(std::memory_order_relaxed))
        return int(EndOfStream);
    return static_cast<unsigned char>(feed->bytes.at(feed->at++));
}

void TIDY_CALL ungetByte(void *data, byte) {
    auto *feed = static_cast<Feed *>(data);
    if (feed->at > 0)
        --feed->at;
}

Bool TIDY_CALL atEnd(void *data) {
    auto *feed = static_cast<Feed *>(data);
    return feed->at >= feed->bytes.size() || feed->cancel.load(std::memory_order_relaxed) ? yes
                                                                                          : no;
}

Bool TIDY_CALL collectMessage(TidyMessage message) {
    const TidyLibrary &tidy = tidyLibrary();
    auto *feed = static_cast<Feed *>(tidy.getAppData(tidy.messageDoc(message)));
    const int line = tidy.messageLine(message);
    // Line 0 carries Tidy's own summaries ("looks like HTML5", counts), not the page's.
    if (line > 0 && !feed->cancel.load(std::memory_order_relaxed)) {
        TidyDiagnostic d;
        d.line = line;
        d.column = tidy.messageColumn(message);
        d.level = int(tidy.messageLevel(message));
        d.key = QByteArray(tidy.messageKey(message));
        d.defaultText = QString::fromUtf8(tidy.messageDefault(message));
        TidyIterator it = tidy.messageArguments(message);
        while (it) {
            TidyMessageArgument argument = tidy.nextMessageArgument(message, &it);
            if (tidy.argType(message, &argument) == tidyFormatType_STRING)
                d.arguments.append(QString::fromUtf8(tidy.argValueString(message, &argument)));
        }
        feed->run->diagnostics.append(std::move(d));
    }
    return no; // nothing goes on to Tidy's own output
}

} // namespace

TidyRun runTidy(const QByteArray &utf8, const std::atomic_bool &cancel) {
    TidyRun run;
    const TidyLibrary &tidy = tidyLibrary();
    if (!tidy.failure.isEmpty()) {
        run.unavailableReason = tidy.failure;
        return run;
    }
    run.available = true;
    Feed feed{utf8, cancel, 0, &run};
    TidyDoc doc = tidy.create();
    TidyBuffer errors;
    tidy.bufInit(&errors);
    tidy.setErrorBuffer(doc, &errors);
    tidy.setAppData(doc, &feed);
    tidy.setMessageCallback(doc, collectMessage);
    tidy.optSetBool(doc, TidyShowMarkup, no);
    tidy.optSetBool(doc, TidyQuiet, yes);
    tidy.optSetBool(doc, TidyShowInfo, yes);
    tidy.optSetBool(doc, TidyShowWarnings, yes);
    tidy.optSetInt(doc, TidyShowErrors, 1000000000);
    // A tab is one column, as it is one character in the editor.
    tidy.optSetInt(doc, TidyTabSize, 1);
    tidy.optSetValue(doc, TidyInCharEncoding, "utf8");
    TidyInputSource source{};
    source.sourceData = &feed;
    source.getByte = nextByte;
    source.ungetByte = ungetByte;
    source.eof = atEnd;
    tidy.parseSource(doc, &source);
    if (!cancel.load(std::memory_order_relaxed))
        tidy.runDiagnostics(doc);
    tidy.release(doc);
    tidy.bufFree(&errors);
    return run;
}

} // namespace vellumo

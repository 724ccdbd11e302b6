#include "check/tidy_diagnostics.h"

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <dlfcn.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>

namespace vellumo {

namespace {

// The handful of entry points the check uses, looked up when the library is
// first needed rather than linked, so it is not loaded at every start.
struct TidyLibrary {
    decltype(&::tidyCreateWithAllocator) create = nullptr;
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
            resolve(handle, "tidyCreateWithAllocator", library.create) &&
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

// Stop must be quick even when Tidy is deep in a big page, and Tidy has no way
// to be interrupted. So each run gets an allocator of its own that knows every
// block Tidy holds: once the user stops, the next byte Tidy reads, block it
// allocates or message it reports jumps straight back to runTidy, which throws
// all the run's memory away at once and never touches the document again. Only
// C frames of the library lie between the jump and its target, and our
// callbacks jump before they create anything that needs destroying.
//
// Small blocks come from large slabs, with one free list per size, so throwing
// the memory of a big page away costs a few hundred frees rather than millions.
constexpr std::size_t Header = alignof(std::max_align_t);
constexpr std::size_t Granule = 16;
constexpr std::size_t SmallSizes = 32; // blocks of up to 512 bytes
constexpr std::size_t SlabSize = std::size_t{256} * 1024;
constexpr std::uint32_t LargeBlock = 0xFFFFFFFFu;

struct Large {
    Large *previous;
    Large *next;
};
static_assert(sizeof(Large) <= Header && Granule % alignof(std::max_align_t) == 0);

struct Run {
    TidyAllocator allocator{}; // first, so Tidy's allocator pointer is the run's
    void *freeLists[SmallSizes] = {};
    char *slabCursor = nullptr;
    char *slabEnd = nullptr;
    void *slabs = nullptr; // each slab's first word links to the one before
    Large large{&large, &large};
    const QByteArray *bytes = nullptr;
    const std::atomic_bool *cancel = nullptr;
    qsizetype at = 0;
    TidyRun *result = nullptr;
    qsizetype keep = 0;
    qsizetype reported = 0;
    const std::function<bool(const TidyDiagnostic &)> *wanted = nullptr;
    std::jmp_buf *abandon = nullptr; // set while Tidy runs
    bool inMessage = false;

    bool stopped() const { return cancel->load(std::memory_order_relaxed); }
    void leaveIfStopped() {
        if (abandon && !inMessage && stopped())
            std::longjmp(*abandon, 1);
    }
    void freeAll() {
        for (void *slab = slabs; slab;) {
            void *before = *static_cast<void **>(slab);
            std::free(slab);
            slab = before;
        }
        slabs = nullptr;
        slabCursor = slabEnd = nullptr;
        std::fill(std::begin(freeLists), std::end(freeLists), nullptr);
        for (Large *block = large.next; block != &large;) {
            Large *next = block->next;
            std::free(block);
            block = next;
        }
        large.next = large.previous = &large;
    }
};

static_assert(std::is_standard_layout_v<Run>);

Run &runOf(TidyAllocator *allocator) {
    return *reinterpret_cast<Run *>(allocator);
}

std::uint32_t sizeOf(const void *data) {
    std::uint32_t size = 0;
    std::memcpy(&size, static_cast<const char *>(data) - Header, sizeof size);
    return size;
}

void *checked(void *memory) {
    if (!memory)
        std::abort(); // as Tidy's own allocator does when memory runs out
    return memory;
}

void linkLarge(Run &run, Large *block) {
    block->next = run.large.next;
    block->previous = &run.large;
    run.large.next->previous = block;
    run.large.next = block;
}

void unlinkLarge(Large *block) {
    block->previous->next = block->next;
    block->next->previous = block->previous;
}

void *TIDY_CALL allocate(TidyAllocator *self, size_t bytes) {
    Run &run = runOf(self);
    run.leaveIfStopped();
    const std::size_t size = bytes == 0 ? 0 : (bytes - 1) / Granule;
    if (size < SmallSizes) {
        void *&freeList = run.freeLists[size];
        if (freeList) {
            void *data = freeList;
            freeList = *static_cast<void **>(data);
            return data;
        }
        const std::size_t need = Header + (size + 1) * Granule;
        if (std::size_t(run.slabEnd - run.slabCursor) < need) {
            auto *slab = static_cast<char *>(checked(std::malloc(SlabSize)));
            *reinterpret_cast<void **>(slab) = run.slabs;
            run.slabs = slab;
            run.slabCursor = slab + Header;
            run.slabEnd = slab + SlabSize;
        }
        char *block = run.slabCursor;
        run.slabCursor += need;
        const std::uint32_t stored = std::uint32_t(size);
        std::memcpy(block, &stored, sizeof stored);
        return block + Header;
    }
    auto *block = static_cast<char *>(checked(std::malloc(2 * Header + bytes)));
    linkLarge(run, reinterpret_cast<Large *>(block));
    std::memcpy(block + Header, &LargeBlock, sizeof LargeBlock);
    return block + 2 * Header;
}

void TIDY_CALL release(TidyAllocator *self, void *data) {
    if (!data)
        return;
    const std::uint32_t size = sizeOf(data);
    if (size == LargeBlock) {
        auto *block = reinterpret_cast<Large *>(static_cast<char *>(data) - 2 * Header);
        unlinkLarge(block);
        std::free(block);
        return;
    }
    Run &run = runOf(self);
    *static_cast<void **>(data) = run.freeLists[size];
    run.freeLists[size] = data;
}

void *TIDY_CALL reallocate(TidyAllocator *self, void *data, size_t bytes) {
    if (!data)
        return allocate(self, bytes);
    Run &run = runOf(self);
    run.leaveIfStopped();
    const std::uint32_t size = sizeOf(data);
    if (size == LargeBlock) {
        auto *block = reinterpret_cast<Large *>(static_cast<char *>(data) - 2 * Header);
        unlinkLarge(block);
        auto *moved = static_cast<char *>(checked(std::realloc(block, 2 * Header + bytes)));
        linkLarge(run, reinterpret_cast<Large *>(moved));
        return moved + 2 * Header;
    }
    const std::size_t capacity = (size + 1) * Granule;
    if (bytes <= capacity)
        return data;
    void *moved = allocate(self, bytes);
    std::memcpy(moved, data, capacity);
    release(self, data);
    return moved;
}

void TIDY_CALL panic(TidyAllocator *, ctmbstr) {
    std::abort();
}

const TidyAllocatorVtbl RunAllocator = {allocate, reallocate, release, panic};

int TIDY_CALL nextByte(void *data) {
    auto *run = static_cast<Run *>(data);
    run->leaveIfStopped();
    if (run->at >= run->bytes->size())
        return int(EndOfStream);
    return static_cast<unsigned char>(run->bytes->at(run->at++));
}

void TIDY_CALL ungetByte(void *data, byte) {
    auto *run = static_cast<Run *>(data);
    if (run->at > 0)
        --run->at;
}

Bool TIDY_CALL atEnd(void *data) {
    auto *run = static_cast<Run *>(data);
    return run->at >= run->bytes->size() ? yes : no;
}

bool later(const TidyDiagnostic &a, const TidyDiagnostic &b) {
    if (a.line != b.line)
        return a.line < b.line;
    return a.column != b.column ? a.column < b.column : a.order < b.order;
}

// A heap with the latest kept diagnostic on top, so that each new one costs
// little and the page's first problems are the ones kept.
void keepEarliest(Run &run, TidyDiagnostic &&d) {
    QList<TidyDiagnostic> &kept = run.result->diagnostics;
    if (kept.size() >= run.keep) {
        ++run.result->dropped;
        if (kept.isEmpty() || !later(d, kept.front()))
            return;
        std::pop_heap(kept.begin(), kept.end(), later);
        kept.back() = std::move(d);
    } else {
        kept.append(std::move(d));
    }
    std::push_heap(kept.begin(), kept.end(), later);
}

Bool TIDY_CALL collectMessage(TidyMessage message) {
    const TidyLibrary &tidy = tidyLibrary();
    auto *run = static_cast<Run *>(tidy.getAppData(tidy.messageDoc(message)));
    run->leaveIfStopped();
    const int line = tidy.messageLine(message);
    // Line 0 carries Tidy's own summaries ("looks like HTML5", counts), not the page's.
    if (line > 0) {
        run->inMessage = true;
        TidyDiagnostic d;
        d.line = line;
        d.order = run->reported++;
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
        if ((*run->wanted)(d))
            keepEarliest(*run, std::move(d));
        run->inMessage = false;
    }
    return no; // nothing goes on to Tidy's own output
}

// Parses and diagnoses; false when the user stopped and Tidy was left behind.
// Nothing here needs destroying, so leaving it by a jump is sound.
bool parseUnlessStopped(const TidyLibrary &tidy, TidyDoc doc, TidyInputSource *source, Run *run) {
    std::jmp_buf here;
    if (setjmp(here) != 0) {
        run->abandon = nullptr;
        return false;
    }
    run->abandon = &here;
    tidy.parseSource(doc, source);
    tidy.runDiagnostics(doc);
    run->abandon = nullptr;
    return !run->stopped();
}

} // namespace

TidyRun runTidy(const QByteArray &utf8, const std::atomic_bool &cancel, qsizetype keep,
                const std::function<bool(const TidyDiagnostic &)> &wanted) {
    TidyRun run;
    const TidyLibrary &tidy = tidyLibrary();
    if (!tidy.failure.isEmpty()) {
        run.unavailableReason = tidy.failure;
        return run;
    }
    run.available = true;
    Run state;
    state.allocator.vtbl = &RunAllocator;
    state.large = {&state.large, &state.large};
    state.bytes = &utf8;
    state.cancel = &cancel;
    state.result = &run;
    state.keep = keep;
    state.wanted = &wanted;
    TidyDoc doc = tidy.create(&state.allocator);
    TidyBuffer errors;
    tidy.bufInit(&errors);
    tidy.setErrorBuffer(doc, &errors);
    tidy.setAppData(doc, &state);
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
    source.sourceData = &state;
    source.getByte = nextByte;
    source.ungetByte = ungetByte;
    source.eof = atEnd;
    if (parseUnlessStopped(tidy, doc, &source, &state))
        tidy.release(doc);
    std::sort(run.diagnostics.begin(), run.diagnostics.end(),
              [](const TidyDiagnostic &a, const TidyDiagnostic &b) { return a.order < b.order; });
    // Whatever Tidy still held (all of it, when it was left behind).
    state.freeAll();
    tidy.bufFree(&errors);
    return run;
}

} // namespace vellumo

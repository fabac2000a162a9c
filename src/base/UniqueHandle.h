#pragma once
#include <windows.h>
#include <oleauto.h>

// One owner per handle: closes exactly once, movable, never copied.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        reset(o.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    Handle* put() {  // for out-parameters
        reset();
        return &h_;
    }
    Handle release() {
        Handle h = h_;
        h_ = Traits::invalid();
        return h;
    }
    void reset(Handle h = Traits::invalid()) {
        if (h_ != Traits::invalid())
            Traits::close(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ != Traits::invalid(); }

private:
    Handle h_ = Traits::invalid();
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { RegCloseKey(h); }
};

// Process, thread and event handles: null when absent.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { CloseHandle(h); }
};

// CreateFileA reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};

// FindFirstFileA searches: closed with FindClose.
struct FindTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindClose(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { FreeLibrary(h); }
};

// Memory the security functions allocate with LocalAlloc (ACLs, descriptors).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { LocalFree(h); }
};

// COM interface pointers (a loaded type library, ...): released once.
template <typename Interface>
struct ComReleaseTraits {
    using Handle = Interface*;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { h->Release(); }
};

// Strings the automation functions hand out (names and help texts of a type library).
struct BstrTraits {
    using Handle = BSTR;
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { SysFreeString(h); }
};

using UniqueKey = UniqueHandle<RegistryKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueBstr = UniqueHandle<BstrTraits>;
template <typename Interface>
using UniqueCom = UniqueHandle<ComReleaseTraits<Interface>>;

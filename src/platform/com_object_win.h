#pragma once
// The COM plumbing of the drag-and-drop and accessibility objects: IUnknown for an object that
// implements one interface (and the interfaces it derives from), and releasing a reference at the
// end of a scope.

#include <windows.h>
#include <ole2.h>

#include <memory>

namespace corvantis::platform {

struct ComRelease {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};

template <typename Interface> using ComPtr = std::unique_ptr<Interface, ComRelease>;

// IUnknown for an object that implements one interface, also answering for the interfaces
// `kBaseIds` that it derives from: created with new at a reference count of 1, deleted by its last
// Release.
template <typename Interface, const IID& kInterfaceId, const IID&... kBaseIds>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId) ||
            (IsEqualIID(iid, kBaseIds) || ...)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG references_ = 1;
};

} // namespace corvantis::platform

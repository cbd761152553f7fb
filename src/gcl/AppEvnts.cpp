#include "gcl/AppEvnts.h"

#include <algorithm>
#include <vector>

namespace gcl {

namespace {

// Takes over the application's handlers while components exist.
class TEventDispatcher : public TObject {
public:
    explicit TEventDispatcher(TApplication* application) : FApplication(application) {
        FOld.OnActivate = application->OnActivate;
        FOld.OnDeactivate = application->OnDeactivate;
        FOld.OnException = application->OnException;
        FOld.OnIdle = application->OnIdle;
        FOld.OnHint = application->OnHint;
        FOld.OnMessage = application->OnMessage;
        FOld.OnMinimize = application->OnMinimize;
        FOld.OnRestore = application->OnRestore;
        FOld.OnShortCut = application->OnShortCut;
        FOld.OnShowHint = application->OnShowHint;
        application->OnActivate = TNotifyEvent(this, &TEventDispatcher::DoActivate);
        application->OnDeactivate = TNotifyEvent(this, &TEventDispatcher::DoDeactivate);
        application->OnException = TExceptionEvent(this, &TEventDispatcher::DoException);
        application->OnIdle = TIdleEvent(this, &TEventDispatcher::DoIdle);
        application->OnHint = TNotifyEvent(this, &TEventDispatcher::DoHint);
        application->OnMessage = TMessageEvent(this, &TEventDispatcher::DoMessage);
        application->OnMinimize = TNotifyEvent(this, &TEventDispatcher::DoMinimize);
        application->OnRestore = TNotifyEvent(this, &TEventDispatcher::DoRestore);
        application->OnShortCut = TShortCutEvent(this, &TEventDispatcher::DoShortCut);
        application->OnShowHint = TShowHintEvent(this, &TEventDispatcher::DoShowHint);
    }

    // Puts back what the program had, for each event still pointing here.
    void Release() noexcept {
        if (Application != FApplication || !FApplication) return;
        Restore(FApplication->OnActivate, TNotifyEvent(this, &TEventDispatcher::DoActivate), FOld.OnActivate);
        Restore(FApplication->OnDeactivate, TNotifyEvent(this, &TEventDispatcher::DoDeactivate), FOld.OnDeactivate);
        Restore(FApplication->OnException, TExceptionEvent(this, &TEventDispatcher::DoException), FOld.OnException);
        Restore(FApplication->OnIdle, TIdleEvent(this, &TEventDispatcher::DoIdle), FOld.OnIdle);
        Restore(FApplication->OnHint, TNotifyEvent(this, &TEventDispatcher::DoHint), FOld.OnHint);
        Restore(FApplication->OnMessage, TMessageEvent(this, &TEventDispatcher::DoMessage), FOld.OnMessage);
        Restore(FApplication->OnMinimize, TNotifyEvent(this, &TEventDispatcher::DoMinimize), FOld.OnMinimize);
        Restore(FApplication->OnRestore, TNotifyEvent(this, &TEventDispatcher::DoRestore), FOld.OnRestore);
        Restore(FApplication->OnShortCut, TShortCutEvent(this, &TEventDispatcher::DoShortCut), FOld.OnShortCut);
        Restore(FApplication->OnShowHint, TShowHintEvent(this, &TEventDispatcher::DoShowHint), FOld.OnShowHint);
    }

    TApplication* GetApplication() const noexcept { return FApplication; }

    std::vector<TCustomApplicationEvents*> Components;  // calling order
    bool Cancelled = false;
    int Depth = 0;              // events being dispatched now
    bool DropPending = false;   // delete once the outermost event is done

private:
    template <class E>
    static void Restore(E& slot, const E& mine, const E& old) noexcept {
        if (slot == mine) slot = old;
    }

    // Held by each event: the dispatcher dropped while an event runs is
    // deleted when the outermost one is done.
    class TDepth {
    public:
        explicit TDepth(TEventDispatcher* d) noexcept : FDispatcher(d) { ++d->Depth; }
        ~TDepth() {
            if (--FDispatcher->Depth == 0 && FDispatcher->DropPending) delete FDispatcher;
        }
        TDepth(const TDepth&) = delete;
        TDepth& operator=(const TDepth&) = delete;

    private:
        TEventDispatcher* FDispatcher;
    };

    // Calls call(component) for each live component in calling order,
    // until one cancels.
    template <class F>
    void ForEach(F call) {
        std::vector<TComponentRef<TCustomApplicationEvents>> snapshot(Components.begin(), Components.end());
        bool saved = Cancelled;
        Cancelled = false;
        for (auto& ref : snapshot) {
            if (TCustomApplicationEvents* component = ref.Get()) call(component);
            if (Cancelled) break;
        }
        Cancelled = saved;
    }

    void DoActivate(TObject* sender) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnActivate(sender); });
        FOld.OnActivate(sender);
    }
    void DoDeactivate(TObject* sender) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnDeactivate(sender); });
        FOld.OnDeactivate(sender);
    }
    void DoException(TObject* sender, Exception& e) {
        TDepth depth(this);
        bool handled = false;
        ForEach([&](TCustomApplicationEvents* c) {
            if (c->OnException) {
                c->OnException(sender, e);
                handled = true;
            }
        });
        if (FOld.OnException) {
            FOld.OnException(sender, e);
            handled = true;
        }
        if (!handled && FApplication) FApplication->ShowException(e);
    }
    void DoIdle(TObject* sender, bool& done) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnIdle(sender, done); });
        FOld.OnIdle(sender, done);
    }
    void DoHint(TObject* sender) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnHint(sender); });
        FOld.OnHint(sender);
    }
    void DoMessage(MSG& msg, bool& handled) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnMessage(msg, handled); });
        FOld.OnMessage(msg, handled);
    }
    void DoMinimize(TObject* sender) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnMinimize(sender); });
        FOld.OnMinimize(sender);
    }
    void DoRestore(TObject* sender) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnRestore(sender); });
        FOld.OnRestore(sender);
    }
    void DoShortCut(TWMKey& msg, bool& handled) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnShortCut(msg, handled); });
        FOld.OnShortCut(msg, handled);
    }
    void DoShowHint(std::string& hint, bool& canShow, THintInfo& info) {
        TDepth depth(this);
        ForEach([&](TCustomApplicationEvents* c) { c->OnShowHint(hint, canShow, info); });
        FOld.OnShowHint(hint, canShow, info);
    }

    struct TOldHandlers {
        TNotifyEvent OnActivate;
        TNotifyEvent OnDeactivate;
        TExceptionEvent OnException;
        TIdleEvent OnIdle;
        TNotifyEvent OnHint;
        TMessageEvent OnMessage;
        TNotifyEvent OnMinimize;
        TNotifyEvent OnRestore;
        TShortCutEvent OnShortCut;
        TShowHintEvent OnShowHint;
    };

    TApplication* FApplication;
    TOldHandlers FOld;
};

TEventDispatcher* GDispatcher = nullptr;

void DropDispatcher() noexcept {
    if (!GDispatcher) return;
    TEventDispatcher* dispatcher = GDispatcher;
    GDispatcher = nullptr;
    dispatcher->Release();
    if (dispatcher->Depth > 0)
        dispatcher->DropPending = true;
    else
        delete dispatcher;
}

} // namespace

GCL_IMPLEMENT_CLASS(TCustomApplicationEvents)
GCL_IMPLEMENT_CLASS(TApplicationEvents)

void TCustomApplicationEvents::AfterConstruction() {
    inherited::AfterConstruction();
    if (!Application) return;
    // An application made anew (tests) gets a new dispatcher.
    if (GDispatcher && GDispatcher->GetApplication() != Application) DropDispatcher();
    if (!GDispatcher) GDispatcher = new TEventDispatcher(Application);
    GDispatcher->Components.insert(GDispatcher->Components.begin(), this);
}

void TCustomApplicationEvents::BeforeDestruction() noexcept {
    if (GDispatcher) {
        auto& list = GDispatcher->Components;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (list.empty()) DropDispatcher();
    }
    inherited::BeforeDestruction();
}

void TCustomApplicationEvents::Activate() {
    if (!GDispatcher) return;
    auto& list = GDispatcher->Components;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    list.insert(list.begin(), this);
}

void TCustomApplicationEvents::CancelDispatch() noexcept {
    if (GDispatcher) GDispatcher->Cancelled = true;
}

namespace {
void InitializeAppEvnts() { RegisterClass(TApplicationEvents::StaticClass()); }
void FinalizeAppEvnts() {
    UnRegisterClass(TApplicationEvents::StaticClass());
    DropDispatcher();
}
} // namespace

TUnit AppEvntsUnit{"AppEvnts", &InitializeAppEvnts, &FinalizeAppEvnts};

} // namespace gcl

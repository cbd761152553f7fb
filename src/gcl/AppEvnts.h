// TApplicationEvents: the application's events as a component, so that
// several parts of a program (each form, each module) can handle them.
//
// The application object has one handler per event. While any
// TApplicationEvents exists, those handlers are taken over by one
// dispatcher that calls every live TApplicationEvents in turn, the most
// recently created (or activated) first; a handler may stop the rest with
// CancelDispatch. Handlers the program had set on the application before
// are kept and called after the components. When the last component goes,
// the application's own handlers are put back.
//
// OnException: when no component handles exceptions (and no earlier
// handler existed), the application shows the exception as usual.
#pragma once

#include "gcl/Forms.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"

namespace gcl {

class TCustomApplicationEvents : public TComponent {
    GCL_CLASS(TCustomApplicationEvents, TComponent)
public:
    // Puts this component first in the calling order.
    void Activate();
    // Called from a handler: the components after this one do not get the
    // current event.
    void CancelDispatch() noexcept;

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

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TCustomApplicationEvents(TComponent* owner) : TComponent(owner) {}
};

class TApplicationEvents : public TCustomApplicationEvents {
    GCL_CLASS(TApplicationEvents, TCustomApplicationEvents)
protected:
    explicit TApplicationEvents(TComponent* owner) : TCustomApplicationEvents(owner) {}
};

extern TUnit AppEvntsUnit;

} // namespace gcl

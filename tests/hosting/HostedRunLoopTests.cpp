#include <gtest/gtest.h>
#include <juce_core/juce_core.h>
#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/base/smartpointer.h>
#include <pluginterfaces/gui/iplugview.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivstmessage.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>
#include <dlfcn.h>
#include <poll.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

// Two windows of the built VST3 in a host that gives all its plug-in windows one run loop, as Linux DAWs do. The
// module is opened by hand, as a host opens it, so that the test's own frames and run loop see what it registers.
namespace
{
    using namespace Steinberg;
    using Clock = std::chrono::steady_clock;

    /** The host's one run loop: it keeps what the plug-in registers, and a pass calls the handlers of the
        descriptors that are ready. */
    class SharedRunLoop : public Linux::IRunLoop
    {
    public:
        tresult PLUGIN_API registerEventHandler (Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
        {
            handlers.push_back ({ handler, fd });
            return kResultTrue;
        }

        tresult PLUGIN_API unregisterEventHandler (Linux::IEventHandler* handler) override
        {
            handlers.erase (std::remove_if (handlers.begin(), handlers.end(),
                                            [handler] (const auto& h) { return h.first == handler; }),
                            handlers.end());
            return kResultTrue;
        }

        // The framework's wrapper runs its timers on its own message queue, never through the host's.
        tresult PLUGIN_API registerTimer (Linux::ITimerHandler*, Linux::TimerInterval) override { return kNotImplemented; }
        tresult PLUGIN_API unregisterTimer (Linux::ITimerHandler*) override { return kNotImplemented; }

        std::set<int> descriptors() const
        {
            std::set<int> result;
            for (const auto& h : handlers)
                result.insert (h.second);
            return result;
        }

        /** Runs the loop until the condition, checked every 100 ms, holds; false at the deadline. */
        template <typename Condition>
        bool pumpUntil (Condition&& condition, std::chrono::seconds timeout)
        {
            const auto deadline = Clock::now() + timeout;
            while (Clock::now() < deadline)
            {
                for (const auto checkAt = Clock::now() + std::chrono::milliseconds (100); Clock::now() < checkAt;)
                    runOnce();

                if (condition())
                    return true;
            }
            return false;
        }

        uint32 PLUGIN_API addRef() override { return 1; }
        uint32 PLUGIN_API release() override { return 1; }
        tresult PLUGIN_API queryInterface (const TUID, void** obj) override
        {
            *obj = nullptr;
            return kNoInterface;
        }

    private:
        void runOnce()
        {
            std::vector<pollfd> ready;
            for (const auto fd : descriptors())
                ready.push_back ({ fd, POLLIN, 0 });
            poll (ready.data(), ready.size(), 10);

            // A handler may register and unregister while it runs, so each one is looked up afresh.
            for (const auto& p : ready)
                if (p.revents != 0)
                    for (const auto& [handler, fd] : std::vector (handlers))
                        if (fd == p.fd)
                            handler->onFDIsSet (fd);
        }

        std::vector<std::pair<Linux::IEventHandler*, int>> handlers;
    };

    /** One window's frame: each offers the host's one run loop. */
    class Frame : public IPlugFrame
    {
    public:
        explicit Frame (SharedRunLoop& loop) : runLoop (loop) {}

        tresult PLUGIN_API resizeView (IPlugView*, ViewRect*) override { return kResultTrue; }

        tresult PLUGIN_API queryInterface (const TUID iid, void** obj) override
        {
            if (FUnknownPrivate::iidEqual (iid, Linux::IRunLoop::iid))
                *obj = &runLoop;
            else if (FUnknownPrivate::iidEqual (iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual (iid, FUnknown::iid))
                *obj = this;
            else
                *obj = nullptr;

            return *obj != nullptr ? kResultOk : kNoInterface;
        }

        uint32 PLUGIN_API addRef() override { return 1; }
        uint32 PLUGIN_API release() override { return 1; }

    private:
        SharedRunLoop& runLoop;
    };

    /** The host's X side: a window for each plug-in view, and what each shows. */
    class HostWindows
    {
    public:
        static constexpr int width = 980, height = 500;

        HostWindows()
        {
            // Without a window manager some of the plug-in's property changes raise X errors; hosts ignore them.
            XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
        }

        ~HostWindows()
        {
            if (display != nullptr)
                XCloseDisplay (display);
        }

        bool isOpen() const { return display != nullptr; }

        Window open()
        {
            // Off the screen and drawn into a pixmap of its own, so that no other test's window or pointer reaches it.
            const auto window = XCreateSimpleWindow (display, DefaultRootWindow (display), -2 * width, 0, width, height, 0, 0, 0);
            XCompositeRedirectWindow (display, window, CompositeRedirectAutomatic);
            XMapWindow (display, window);
            XSync (display, False);
            return window;
        }

        std::vector<char> pixels (Window window) const
        {
            const auto pixmap = XCompositeNameWindowPixmap (display, window);
            auto* image = XGetImage (display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
            std::vector<char> result (image->data, image->data + image->bytes_per_line * image->height);
            XDestroyImage (image);
            XFreePixmap (display, pixmap);
            return result;
        }

    private:
        Display* display = XOpenDisplay (nullptr);
    };

    /** The built VST3's module, entered as a host enters it. */
    struct Module
    {
        Module()
        {
            const auto binaries = juce::File (BRINDLEX_VST3_PATH).getChildFile ("Contents")
                                      .findChildFiles (juce::File::findFiles, true, "*.so");
            handle = binaries.isEmpty() ? nullptr : dlopen (binaries[0].getFullPathName().toRawUTF8(), RTLD_NOW);
            if (handle == nullptr)
                return;

            reinterpret_cast<bool (*) (void*)> (dlsym (handle, "ModuleEntry")) (handle);
            factory = owned (reinterpret_cast<IPluginFactory* (*)()> (dlsym (handle, "GetPluginFactory"))());
        }

        ~Module()
        {
            if (handle == nullptr)
                return;

            factory = nullptr;
            reinterpret_cast<bool (*)()> (dlsym (handle, "ModuleExit"))();
            dlclose (handle);
        }

        void* handle = nullptr;
        IPtr<IPluginFactory> factory;
    };

    template <typename Interface>
    IPtr<Interface> create (IPluginFactory& factory, const TUID classId)
    {
        Interface* object = nullptr;
        factory.createInstance (classId, Interface::iid, (void**) &object);
        return owned (object);
    }

    /** One instance as a host makes it: component and controller connected, and its editor in a window. */
    struct Instance
    {
        Instance (IPluginFactory& factory, SharedRunLoop& runLoop) : frame (runLoop)
        {
            for (int32 i = 0; i < factory.countClasses(); ++i)
                if (PClassInfo info; factory.getClassInfo (i, &info) == kResultOk && std::strcmp (info.category, kVstAudioEffectClass) == 0)
                    component = create<Vst::IComponent> (factory, info.cid);

            TUID controllerClass;
            if (component == nullptr || component->getControllerClassId (controllerClass) != kResultOk)
                return;

            controller = create<Vst::IEditController> (factory, controllerClass);
            component->initialize (nullptr);
            controller->initialize (nullptr);
            FUnknownPtr<Vst::IConnectionPoint> componentPoint (component), controllerPoint (controller);
            componentPoint->connect (controllerPoint);
            controllerPoint->connect (componentPoint);
            view = owned (controller->createView (Vst::ViewType::kEditor));
        }

        ~Instance()
        {
            remove();
            view = nullptr;
            if (controller != nullptr)
            {
                FUnknownPtr<Vst::IConnectionPoint> (component)->disconnect (FUnknownPtr<Vst::IConnectionPoint> (controller));
                FUnknownPtr<Vst::IConnectionPoint> (controller)->disconnect (FUnknownPtr<Vst::IConnectionPoint> (component));
                controller->terminate();
                component->terminate();
            }
        }

        bool attach (Window parent)
        {
            view->setFrame (&frame);
            attached = view->attached ((void*) parent, kPlatformTypeX11EmbedWindowID) == kResultTrue;
            return attached;
        }

        void remove()
        {
            if (std::exchange (attached, false))
                view->removed();
        }

        /** Sets a parameter, found by its name, as a host's own control does. */
        void set (const std::u16string& name, double normalised)
        {
            for (int32 i = 0; i < controller->getParameterCount(); ++i)
            {
                Vst::ParameterInfo info;
                if (controller->getParameterInfo (i, info) == kResultOk && name == info.title)
                {
                    controller->setParamNormalized (info.id, normalised);
                    return;
                }
            }

            ADD_FAILURE() << "the plug-in has no parameter of that name";
        }

        Frame frame;
        IPtr<Vst::IComponent> component;
        IPtr<Vst::IEditController> controller;
        IPtr<IPlugView> view;
        bool attached = false;
    };
}

TEST (HostedVst3, AWindowStaysLiveWhenAnotherOnTheSameRunLoopIsRemoved)
{
    HostWindows windows;
    ASSERT_TRUE (windows.isOpen()) << "no X display";
    SharedRunLoop runLoop;
    Module module;
    ASSERT_NE (module.factory, nullptr) << "could not open " << BRINDLEX_VST3_PATH;

    Instance first (*module.factory, runLoop), second (*module.factory, runLoop);
    ASSERT_TRUE (first.view != nullptr && second.view != nullptr);
    ASSERT_TRUE (first.attach (windows.open()));
    const auto window = windows.open();
    const auto blank = windows.pixels (window);
    ASSERT_TRUE (second.attach (window));

    // The second editor drawn, and unchanged over a check interval.
    auto shown = blank;
    ASSERT_TRUE (runLoop.pumpUntil ([&]
    {
        auto now = windows.pixels (window);
        const bool settled = now == shown && now != blank;
        shown = std::move (now);
        return settled;
    }, std::chrono::seconds (60))) << "the editor never drew itself";

    const auto descriptors = runLoop.descriptors();
    ASSERT_FALSE (descriptors.empty()) << "the plug-in registered nothing with the host's run loop";

    first.remove();
    EXPECT_EQ (runLoop.descriptors(), descriptors) << "removing one window took the plug-in off the host's run loop";

    // Drive's knob moves from its default; the editor draws nothing unless the plug-in's messages reach it.
    second.set (u"Drive", 0.95);
    EXPECT_TRUE (runLoop.pumpUntil ([&] { return windows.pixels (window) != shown; }, std::chrono::seconds (30)))
        << "the remaining editor drew nothing after a change made by the host";
}

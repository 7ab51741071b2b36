// WebGL through emscripten's HTML5 API. present() copies the frame with a program of
// its own, puts back the program's texture and has the layer send its state again.
#include "platform/web/WebCanvas.h"

#include "platform/gles/FixedFunction.h"

#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>

namespace platform {

namespace {

const char* const blitVertexShader = R"(
attribute vec2 corner;
varying vec2 texCoord;
void main()
{
    texCoord = corner * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char* const blitFragmentShader = R"(
precision mediump float;
uniform sampler2D frame;
varying vec2 texCoord;
void main()
{
    gl_FragColor = vec4(texture2D(frame, texCoord).rgb, 1.0);
}
)";

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// virtual-key codes: the browser's keyCode is the same for Escape, Space, letters, digits
int virtualKey(const EmscriptenKeyboardEvent& key)
{
    return static_cast<int>(key.keyCode) & 0xFF;
}

bool isDemoKey(int code)
{
    return code == 27 || code == 32;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* key, void* canvas)
{
    WindowEvent event {};
    event.type = type == EMSCRIPTEN_EVENT_KEYDOWN ? WindowEvent::Type::keyDown : WindowEvent::Type::keyUp;
    event.key = virtualKey(*key);
    static_cast<WebCanvas*>(canvas)->post(event);
    // Space would scroll the page; Escape still leaves fullscreen, which the browser
    // handles before the page sees the key
    return isDemoKey(event.key) ? EM_TRUE : EM_FALSE;
}

// the canvas the page's stop button reaches
WebCanvas* liveCanvas = nullptr;

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* change, void* canvas)
{
    WindowEvent event {};
    event.type = change->hidden ? WindowEvent::Type::minimised : WindowEvent::Type::activated;
    static_cast<WebCanvas*>(canvas)->post(event);
    return EM_FALSE;
}

// the page resized, or went into or out of fullscreen: the canvas's displayed size follows
void postResize(void* canvas)
{
    WindowEvent event {};
    event.type = WindowEvent::Type::resized;
    static_cast<WebCanvas*>(canvas)->post(event);
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void* canvas)
{
    postResize(canvas);
    return EM_FALSE;
}

EM_BOOL onFullscreen(int, const EmscriptenFullscreenChangeEvent*, void* canvas)
{
    postResize(canvas);
    return EM_FALSE;
}

} // namespace

// The page's stop button: the demo ends as when a window is closed.
extern "C" EMSCRIPTEN_KEEPALIVE void vorimel_request_quit()
{
    if (liveCanvas) {
        WindowEvent event {};
        event.type = WindowEvent::Type::quit;
        liveCanvas->post(event);
    }
}

std::unique_ptr<WebCanvas> WebCanvas::create(const char* selector, int width, int height, std::string& error)
{
    std::unique_ptr<WebCanvas> canvas(new WebCanvas);
    canvas->selector_ = selector;
    emscripten_set_canvas_element_size(selector, width, height);

    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE; // the frame has its own
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // the last frame stays on the page after the demo has ended
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(selector, &attributes);
    if (context <= 0) {
        error = "this browser gives the page no WebGL context";
        return nullptr;
    }
    canvas->context_ = static_cast<int>(context);
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        error = "the WebGL context cannot be made current";
        return nullptr;
    }
    if (!canvas->createBlit(error))
        return nullptr;
    if (!canvas->frame_.create(width, height)) {
        error = "the " + std::to_string(width) + "x" + std::to_string(height) + " frame is incomplete";
        return nullptr;
    }

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, canvas.get(), EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, canvas.get(), EM_TRUE, onKey);
    emscripten_set_visibilitychange_callback(canvas.get(), EM_TRUE, onVisibility);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, canvas.get(), EM_TRUE, onResize);
    emscripten_set_fullscreenchange_callback(
        EMSCRIPTEN_EVENT_TARGET_DOCUMENT, canvas.get(), EM_TRUE, onFullscreen);
    canvas->lastPresent_ = emscripten_get_now();
    liveCanvas = canvas.get();
    return canvas;
}

WebCanvas::~WebCanvas()
{
    if (liveCanvas == this)
        liveCanvas = nullptr;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, nullptr);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, nullptr);
}

void WebCanvas::post(const WindowEvent& event)
{
    const bool pendingResize = std::any_of(events_.begin(), events_.end(),
        [](const WindowEvent& queued) { return queued.type == WindowEvent::Type::resized; });
    if (event.type == WindowEvent::Type::resized && pendingResize)
        return;
    events_.push_back(event);
}

bool WebCanvas::resizeFrame(int width, int height)
{
    if (!frame_.create(width, height))
        return false;
    emscripten_set_canvas_element_size(selector_.c_str(), width, height);
    ffgl::frameRemade(width, height);
    // One canvas pixel per screen pixel where the frame fits the page; a page smaller
    // than the frame scales it down to the largest 4:3 box (the style sheet's rule).
    EM_ASM(
        {
            const canvas = document.querySelector(UTF8ToString($0));
            const area = canvas.parentElement;
            const ratio = window.devicePixelRatio || 1;
            const fits = $1 <= area.clientWidth * ratio && $2 <= area.clientHeight * ratio;
            canvas.style.width = fits ? $1 / ratio + "px" : "";
            canvas.style.height = fits ? $2 / ratio + "px" : "";
        },
        selector_.c_str(), width, height);
    return true;
}

bool WebCanvas::shownSize(int& width, int& height) const
{
    // the area the canvas is centred in: the page, or the screen when fullscreen
    width = EM_ASM_INT(
        {
            const area = document.querySelector(UTF8ToString($0)).parentElement;
            return Math.round(area.clientWidth * (window.devicePixelRatio || 1));
        },
        selector_.c_str());
    height = EM_ASM_INT(
        {
            const area = document.querySelector(UTF8ToString($0)).parentElement;
            return Math.round(area.clientHeight * (window.devicePixelRatio || 1));
        },
        selector_.c_str());
    return width > 0 && height > 0;
}

bool WebCanvas::createBlit(std::string& error)
{
    const GLuint vertex = compile(GL_VERTEX_SHADER, blitVertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, blitFragmentShader);
    if (vertex == 0 || fragment == 0) {
        error = "the frame's copy program does not compile";
        return false;
    }
    blitProgram_ = glCreateProgram();
    glAttachShader(blitProgram_, vertex);
    glAttachShader(blitProgram_, fragment);
    glBindAttribLocation(blitProgram_, 0, "corner");
    glLinkProgram(blitProgram_);
    GLint linked = GL_FALSE;
    glGetProgramiv(blitProgram_, GL_LINK_STATUS, &linked);
    if (!linked) {
        error = "the frame's copy program does not link";
        return false;
    }
    const float corners[] = { -1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f };
    glGenBuffers(1, &blitBuffer_);
    glBindBuffer(GL_ARRAY_BUFFER, blitBuffer_);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    return true;
}

bool WebCanvas::pollEvent(WindowEvent& event)
{
    if (events_.empty())
        return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

void WebCanvas::present()
{
    ffgl::drawKeptBack();
    // the program's texture, which it expects to find bound again
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, frame_.width(), frame_.height());
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(blitProgram_);
    glBindBuffer(GL_ARRAY_BUFFER, blitBuffer_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(0);
    glBindTexture(GL_TEXTURE_2D, frame_.colourTexture());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    frame_.bind();
    ffgl::forgetSentState(); // program, buffer, switches and viewport changed here
    EM_ASM({
        if (Module.onPresent)
            Module.onPresent();
    });

    // the spacing of frames, for the music's lead; a stall (a hidden page) counts as 1/4 s
    const double now = emscripten_get_now();
    const double interval = std::clamp((now - lastPresent_) * 0.001, 1.0 / 240.0, 0.25);
    frameSeconds_ += 0.1 * (interval - frameSeconds_);
    lastPresent_ = now;
}

} // namespace platform

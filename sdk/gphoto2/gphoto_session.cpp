#include "sdk/gphoto2/gphoto_session.h"

#include "sdk/gphoto2/library_lock.h"

#include <gphoto2/gphoto2-port-info-list.h>
#include <gphoto2/gphoto2-result.h>
#include <gphoto2/gphoto2-widget.h>

namespace orvex::gphoto {
namespace {

void collectNames(CameraWidget* widget, std::set<std::string>& out) {
    const char* name = nullptr;
    if (gp_widget_get_name(widget, &name) == GP_OK && name) out.insert(name);
    const int children = gp_widget_count_children(widget);
    for (int i = 0; i < children; ++i) {
        CameraWidget* child = nullptr;
        if (gp_widget_get_child(widget, i, &child) == GP_OK) collectNames(child, out);
    }
}

// The library's error reports for this context, kept for the program's messages.
void keepExplanation(GPContext*, const char* text, void* data) {
    if (!text || !*text) return;
    std::string& explanation = *static_cast<std::string*>(data);
    if (!explanation.empty()) explanation += ' ';
    explanation += text;
}

} // namespace

std::mutex& libraryLock() {
    static std::mutex lock;
    return lock;
}

GphotoSession::~GphotoSession() {
    close();
}

int GphotoSession::open(const CameraAbilities& abilities, const std::string& port) {
    close();
    context_ = gp_context_new();
    explanation_.clear();
    if (context_) gp_context_set_error_func(context_, keepExplanation, &explanation_);
    int r = gp_camera_new(&camera_);
    if (r < GP_OK) {
        camera_ = nullptr;
        close();
        return r;
    }
    GPPortInfoList* ports = nullptr;
    r = gp_port_info_list_new(&ports);
    if (r >= GP_OK) r = gp_port_info_list_load(ports);
    int index = r >= GP_OK ? gp_port_info_list_lookup_path(ports, port.c_str()) : r;
    GPPortInfo info;
    r = index >= GP_OK ? gp_port_info_list_get_info(ports, index, &info) : index;
    if (r >= GP_OK) r = gp_camera_set_abilities(camera_, abilities);
    if (r >= GP_OK) r = gp_camera_set_port_info(camera_, info);
    if (r >= GP_OK) r = gp_camera_init(camera_, context_);
    if (ports) gp_port_info_list_free(ports);
    if (r < GP_OK) {
        close();
        return r;
    }
    CameraWidget* root = nullptr;
    if (gp_camera_get_config(camera_, &root, context_) >= GP_OK) {
        collectNames(root, widgets_);
        gp_widget_free(root);
    }
    return GP_OK;
}

void GphotoSession::close() {
    if (camera_) {
        gp_camera_exit(camera_, context_);
        gp_camera_unref(camera_);
        camera_ = nullptr;
    }
    if (context_) gp_context_unref(context_);
    context_ = nullptr;
    widgets_.clear();
}

int GphotoSession::readWidget(const char* widget, CameraWidget*& out) {
    out = nullptr;
    if (!camera_) return GP_ERROR_IO;
    if (!has(widget)) return GP_ERROR_BAD_PARAMETERS;
    return gp_camera_get_single_config(camera_, widget, &out, context_);
}

int GphotoSession::readText(const char* widget, std::string& out) {
    CameraWidget* w = nullptr;
    int r = readWidget(widget, w);
    if (r < GP_OK) return r;
    const char* value = nullptr;
    r = gp_widget_get_value(w, &value);
    if (r >= GP_OK) out = value ? value : "";
    gp_widget_free(w);
    return r;
}

int GphotoSession::readInt(const char* widget, int& out) {
    CameraWidget* w = nullptr;
    int r = readWidget(widget, w);
    if (r < GP_OK) return r;
    r = gp_widget_get_value(w, &out);
    gp_widget_free(w);
    return r;
}

int GphotoSession::readChoices(const char* widget, std::vector<std::string>& out) {
    CameraWidget* w = nullptr;
    const int r = readWidget(widget, w);
    if (r < GP_OK) return r;
    out.clear();
    const int count = gp_widget_count_choices(w);
    for (int i = 0; i < count; ++i) {
        const char* choice = nullptr;
        if (gp_widget_get_choice(w, i, &choice) >= GP_OK && choice) out.emplace_back(choice);
    }
    gp_widget_free(w);
    return GP_OK;
}

template <class T> int GphotoSession::write(const char* widget, const T& value) {
    CameraWidget* w = nullptr;
    int r = readWidget(widget, w);
    if (r < GP_OK) return r;
    int readOnly = 0;
    gp_widget_get_readonly(w, &readOnly);
    r = readOnly ? GP_ERROR_NOT_SUPPORTED : gp_widget_set_value(w, value);
    if (r >= GP_OK) r = gp_camera_set_single_config(camera_, widget, w, context_);
    gp_widget_free(w);
    return r;
}

int GphotoSession::writeText(const char* widget, const std::string& value) {
    return write(widget, value.c_str());
}

int GphotoSession::writeInt(const char* widget, int value) {
    return write(widget, &value);
}

} // namespace orvex::gphoto

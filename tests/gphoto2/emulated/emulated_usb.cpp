// A port module for libgphoto2 that shows the emulated EOS bodies on USB, so that the library's own
// autodetection finds them. Debian installs no header for port modules: the operations table below follows
// gphoto2-port-library.h of libgphoto2_port 0.12 (libgphoto2 2.5.30) field by field.
//
// Environment: ORVEX_EMULATED_BODIES, comma-separated USB product ids in hex (default "3272", a 700D;
// "323a" is a 5D Mark III; empty: nothing plugged in). A body the emulated camera unplugged leaves the
// file $HOME/.orvex-emulated-unplugged, and then nothing shows. ORVEX_EMULATED_CLAIMED set: another program
// (the desktop's volume monitor) holds every body, which then cannot be opened. A body is held from its
// opening to its closing, as the kernel holds a claimed interface: processes of one $HOME hold it in turn.
#include <gphoto2/gphoto2-port-info-list.h>
#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-port.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct PortOperations {
    int (*init)(GPPort*);
    int (*exit)(GPPort*);
    int (*open)(GPPort*);
    int (*close)(GPPort*);
    int (*read)(GPPort*, char*, int);
    int (*check_int)(GPPort*, char*, int, int);
    int (*write)(GPPort*, const char*, int);
    int (*update)(GPPort*);
    int (*get_pin)(GPPort*, GPPin, GPLevel*);
    int (*set_pin)(GPPort*, GPPin, GPLevel);
    int (*send_break)(GPPort*, int);
    int (*flush)(GPPort*, int);
    int (*find_device)(GPPort*, int, int);
    int (*find_device_by_class)(GPPort*, int, int, int);
    int (*clear_halt)(GPPort*, int);
    int (*msg_write)(GPPort*, int, int, int, char*, int);
    int (*msg_read)(GPPort*, int, int, int, char*, int);
    int (*msg_interface_write)(GPPort*, int, int, int, char*, int);
    int (*msg_interface_read)(GPPort*, int, int, int, char*, int);
    int (*msg_class_write)(GPPort*, int, int, int, char*, int);
    int (*msg_class_read)(GPPort*, int, int, int, char*, int);
    int (*seek)(GPPort*, int, int);
    int (*send_scsi_cmd)(GPPort*, int, char*, int, char*, int, char*, int);
    int (*reset)(GPPort*);
};

constexpr int kCanon = 0x04a9;

std::vector<int> pluggedProducts() {
    if (const char* home = std::getenv("HOME")) {
        struct stat st;
        if (stat((std::string(home) + "/.orvex-emulated-unplugged").c_str(), &st) == 0) return {};
    }
    const char* env = std::getenv("ORVEX_EMULATED_BODIES");
    const std::string list = env ? env : "3272";
    std::vector<int> products;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        products.push_back(
            static_cast<int>(std::strtol(list.substr(start, end - start).c_str(), nullptr, 16)));
        start = end + 1;
    }
    return products;
}

std::string pathOf(int index) {
    char path[32];
    std::snprintf(path, sizeof path, "usb:001,%03d", index + 1);
    return path;
}

int nothing(GPPort*) {
    return GP_OK;
}

int findDevice(GPPort* port, int vendor, int product) {
    GPPortInfo info;
    char* path = nullptr;
    if (gp_port_get_info(port, &info) < GP_OK || gp_port_info_get_path(info, &path) < GP_OK || !path)
        return GP_ERROR_IO_USB_FIND;
    const std::vector<int> products = pluggedProducts();
    for (std::size_t i = 0; i < products.size(); ++i)
        if (pathOf(static_cast<int>(i)) == path && vendor == kCanon && product == products[i]) return GP_OK;
    return GP_ERROR_IO_USB_FIND;
}

int findByClass(GPPort*, int, int, int) {
    return GP_ERROR_IO_USB_FIND;
}

// The claims this process holds: a lock on a file of the home folder for each body it opened.
std::map<GPPort*, int>& claims() {
    static std::map<GPPort*, int> held;
    return held;
}

// As Debian's usb1 module answers when another program has claimed the device.
int refuseClaim(GPPort* port) {
    gp_port_set_error(port,
                      "Could not claim interface 0 (Device or resource busy). Make sure no other program "
                      "(gvfs-gphoto2-volume-monitor) or kernel module (such as sdc2xx, stv680, spca50x) "
                      "is using the device and you have read/write access to the device.");
    return GP_ERROR_IO_USB_CLAIM;
}

int open(GPPort* port) {
    const char* claimed = std::getenv("ORVEX_EMULATED_CLAIMED");
    if (claimed && *claimed) return refuseClaim(port);
    GPPortInfo info;
    char* path = nullptr;
    const char* home = std::getenv("HOME");
    if (!home || gp_port_get_info(port, &info) < GP_OK || gp_port_info_get_path(info, &path) < GP_OK || !path)
        return GP_OK;
    const std::string file = std::string(home) + "/.orvex-emulated-claim-" + path;
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return GP_OK;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return refuseClaim(port);
    }
    claims()[port] = fd;
    return GP_OK;
}

int close(GPPort* port) {
    if (const auto held = claims().find(port); held != claims().end()) {
        ::close(held->second);
        claims().erase(held);
    }
    return GP_OK;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) GPPortType gp_port_library_type() {
    return GP_PORT_USB;
}

__attribute__((visibility("default"))) int gp_port_library_list(GPPortInfoList* list) {
    const std::vector<int> products = pluggedProducts();
    for (std::size_t i = 0; i < products.size(); ++i) {
        GPPortInfo info;
        if (gp_port_info_new(&info) < GP_OK) return GP_ERROR_NO_MEMORY;
        gp_port_info_set_type(info, GP_PORT_USB);
        gp_port_info_set_name(info, "Universal Serial Bus");
        gp_port_info_set_path(info, pathOf(static_cast<int>(i)).c_str());
        gp_port_info_list_append(list, info);
    }
    return GP_OK;
}

__attribute__((visibility("default"))) void* gp_port_library_operations() {
    auto* ops = static_cast<PortOperations*>(std::calloc(1, sizeof(PortOperations)));
    if (!ops) return nullptr;
    ops->init = nothing;
    ops->exit = nothing;
    ops->open = open;
    ops->close = close;
    ops->update = nothing;
    ops->find_device = findDevice;
    ops->find_device_by_class = findByClass;
    ops->clear_halt = [](GPPort*, int) { return GP_OK; };
    ops->reset = nothing;
    return ops;
}

} // extern "C"

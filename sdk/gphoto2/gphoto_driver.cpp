#include "sdk/gphoto2/gphoto_driver.h"

#include "sdk/gphoto2/c_locale.h"
#include "sdk/gphoto2/gphoto_camera.h"
#include "sdk/gphoto2/gphoto_errors.h"
#include "sdk/gphoto2/library_lock.h"

#include <gphoto2/gphoto2-abilities-list.h>
#include <gphoto2/gphoto2-list.h>
#include <gphoto2/gphoto2-port-info-list.h>
#include <gphoto2/gphoto2-result.h>

#include <mutex>
#include <vector>

namespace orvex {
namespace {

using gphoto::GphotoCamera;

// What one detection found: model text, port path and the abilities the library keeps for the model.
struct Detected {
    std::string model, port;
    CameraAbilities abilities;
};

int detect(std::vector<Detected>& out) {
    std::lock_guard guard(gphoto::libraryLock());
    // Detection runs on the caller's thread, in the user's locale: the library must speak as on the owner's.
    const gphoto::CLocaleScope cLocale;
    GPContext* context = gp_context_new();
    CameraAbilitiesList* models = nullptr;
    GPPortInfoList* ports = nullptr;
    CameraList* found = nullptr;
    int r = gp_abilities_list_new(&models);
    if (r >= GP_OK) r = gp_abilities_list_load(models, context);
    if (r >= GP_OK) r = gp_port_info_list_new(&ports);
    if (r >= GP_OK) r = gp_port_info_list_load(ports);
    if (r >= GP_OK) r = gp_list_new(&found);
    if (r >= GP_OK) r = gp_abilities_list_detect(models, ports, found, context);
    const int count = r >= GP_OK ? gp_list_count(found) : 0;
    for (int i = 0; i < count; ++i) {
        const char* model = nullptr;
        const char* port = nullptr;
        gp_list_get_name(found, i, &model);
        gp_list_get_value(found, i, &port);
        // The generic "usb:" entry stands for any USB body; the bodies themselves come with their own.
        if (!model || !port || std::string(port) == "usb:") continue;
        Detected d{model, port, {}};
        const int index = gp_abilities_list_lookup_model(models, model);
        if (index < GP_OK || gp_abilities_list_get_abilities(models, index, &d.abilities) < GP_OK) continue;
        out.push_back(std::move(d));
    }
    if (found) gp_list_unref(found);
    if (ports) gp_port_info_list_free(ports);
    if (models) gp_abilities_list_free(models);
    gp_context_unref(context);
    return r;
}

class GphotoDriver final : public sdk::CameraDriver {
  public:
    EdsError enumerate(std::vector<std::shared_ptr<sdk::DriverCamera>>& out) override {
        std::vector<Detected> detected;
        const int r = detect(detected);
        std::lock_guard guard(lock_);
        std::vector<std::shared_ptr<GphotoCamera>> kept;
        for (const Detected& d : detected) {
            std::shared_ptr<GphotoCamera> camera;
            for (const auto& known : cameras_)
                if (known->port() == d.port && known->model() == d.model) camera = known;
            if (!camera) camera = std::make_shared<GphotoCamera>(d.abilities, d.port);
            kept.push_back(camera);
            out.push_back(camera);
        }
        // A body in session that no longer shows stays known until the program lets it go.
        for (const auto& known : cameras_)
            if (known->inSession() && std::find(kept.begin(), kept.end(), known) == kept.end())
                kept.push_back(known);
        cameras_ = std::move(kept);
        return r >= GP_OK ? EDS_ERR_OK : gphoto::edsError(r);
    }

  private:
    std::mutex lock_;
    std::vector<std::shared_ptr<GphotoCamera>> cameras_;
};

} // namespace

std::shared_ptr<sdk::CameraDriver> makeGphotoDriver() {
    return std::make_shared<GphotoDriver>();
}

} // namespace orvex

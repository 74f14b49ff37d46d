// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preset_file.h"

#include <fstream>
#include <sstream>

#include "export/document_host.h"
#include "export/document_path.h"

namespace numbrook {

std::vector<Preset> shippedPresets()
{
    std::string path;
    try {
        path = presetsFilePath();
    } catch (const HostError& e) {
        throw PresetError(std::string("找不到预设文件：") + e.what());
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    if (!in)
        throw PresetError("无法读取预设文件" + path + "，请重新安装本程序！");
    try {
        return loadPresets(text.str());
    } catch (const PresetError& e) {
        throw PresetError("预设文件" + path + "：" + e.what());
    }
}

}  // namespace numbrook

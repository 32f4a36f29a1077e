// DescribeHelperExit: the helper's exit codes as the user reads them.
#include "client/update/update_helper_exit.h"

namespace corvane {

std::string DescribeHelperExit(int code) {
  const int refused = code - static_cast<int>(HelperExit::RefusedBase);
  if (refused > static_cast<int>(PackageRefusal::None) && refused <= static_cast<int>(PackageRefusal::Unreadable)) {
    return DescribeRefusal(static_cast<PackageRefusal>(refused));
  }
  switch (code) {
    case static_cast<int>(HelperExit::Installed): return "更新已安装，新版本将在下次启动时运行。";
    case 126:  // pkexec: the password dialog was dismissed
    case 127:  // pkexec: not authorized
      return "更新未安装：未获得管理员授权。";
    case static_cast<int>(HelperExit::AptFailed): return "更新未安装：软件包管理器安装失败。";
    case static_cast<int>(HelperExit::CopyFailed): return "更新未安装：无法复制下载的文件。";
    case static_cast<int>(HelperExit::Busy): return "更新未安装：另一个更新正在安装，请稍后再试。";
    default: return "更新未安装：安装程序出错（代码 " + std::to_string(code) + "）。";
  }
}

}  // namespace corvane

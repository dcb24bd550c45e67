#include "about/HelpText.h"

namespace vx {

std::string HelpNotOpenedMessage(const std::string& pagePath, bool pageExists)
{
    if (!pageExists)
        return "ヘルプのページが見つかりません。\r\n" + pagePath;
    return "ヘルプのページを開けるプログラムが見つかりません。\r\n"
           "ブラウザーで次のファイルを開いてください。\r\n" +
           pagePath;
}

} // namespace vx

#include "platform/Logging.h"

namespace gx {

// Warnings and worse by default; debug and info only when asked for.
Q_LOGGING_CATEGORY(logPlatform, "gx.platform", QtWarningMsg)
Q_LOGGING_CATEGORY(logSettings, "gx.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(logSound, "gx.sound", QtWarningMsg)
Q_LOGGING_CATEGORY(logDecoder, "gx.decoder", QtWarningMsg)
Q_LOGGING_CATEGORY(logView, "gx.view", QtWarningMsg)
Q_LOGGING_CATEGORY(logEngine, "gx.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(logHandOver, "gx.handover", QtWarningMsg)
Q_LOGGING_CATEGORY(logBus, "gx.bus", QtWarningMsg)
Q_LOGGING_CATEGORY(logApp, "gx.app", QtWarningMsg)

} // namespace gx

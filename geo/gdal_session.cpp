#include "geo/gdal_session.h"

#include <gdal.h>

#include <mutex>

namespace mornax::geo {
namespace {

// GDAL's error handler is process-wide; the buffer it fills is guarded.
std::mutex& MessageMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& LastMessage() {
  static std::string message;
  return message;
}

void CaptureMessage(CPLErr level, CPLErrorNum /*number*/, const char* text) {
  if (level < CE_Warning || text == nullptr) return;
  const std::lock_guard lock(MessageMutex());
  LastMessage() = text;
}

}  // namespace

void EnsureGdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    GDALAllRegister();
    CPLSetErrorHandler(CaptureMessage);
  });
}

std::string TakeGdalMessage() {
  const std::lock_guard lock(MessageMutex());
  std::string message;
  message.swap(LastMessage());
  return message;
}

GdalFailureWatch::GdalFailureWatch() {
  EnsureGdal();
  CPLPushErrorHandlerEx(&GdalFailureWatch::Handle, this);
}

GdalFailureWatch::~GdalFailureWatch() {
  CPLPopErrorHandler();
}

void CPL_STDCALL GdalFailureWatch::Handle(CPLErr level, CPLErrorNum number, const char* text) {
  auto* watch = static_cast<GdalFailureWatch*>(CPLGetErrorHandlerUserData());
  if (watch != nullptr && level >= CE_Failure) {
    ++watch->failures_;
    watch->last_ = text != nullptr ? text : "";
  }
  CaptureMessage(level, number, text);
}

}  // namespace mornax::geo

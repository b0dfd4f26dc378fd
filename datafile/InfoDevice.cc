#include "datafile/InfoDevice.h"

InfoDevice::~InfoDevice() = default;

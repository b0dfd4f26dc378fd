#include "common/LocationData.h"

LocationData::LocationData() : level(0), latitude(0.0f), longitude(0.0f), auxValue(0) {
  name[0] = '\0';
  state[0] = '\0';
  country[0] = '\0';
  continent[0] = '\0';
  for (int i = 0; i < 12; ++i) {
    seriesA[i] = 0.0f;
    seriesB[i] = 0.0f;
    seriesC[i] = 0;
    seriesD[i] = 0.0f;
    seriesE[i] = 0.0f;
  }
}

// Every call of WindowStationVisible in the program comes here instead.
extern "C" bool UnseenWindowStation() __asm__("___wrap__Z20WindowStationVisiblev");

bool UnseenWindowStation() {
    return false;
}

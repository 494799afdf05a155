// Where each of a plug-in's channels and parameters sits among its LV2 ports: the
// audio inputs first, then the audio outputs, then one control input per parameter,
// all in the plug-in's own order. The adapter and the Turtle description both
// number ports through this record, so they cannot disagree.
#pragma once

struct Lv2PortLayout {
  int inputs = 0;
  int outputs = 0;
  int params = 0;

  int AudioInPort(int channel) const { return channel; }
  int AudioOutPort(int channel) const { return inputs + channel; }
  int ParamPort(int param) const { return inputs + outputs + param; }
  int PortCount() const { return inputs + outputs + params; }
  // The parameter behind a port, or -1 for an audio port or an index out of range.
  int ParamOfPort(int port) const {
    const int param = port - inputs - outputs;
    return param >= 0 && param < params ? param : -1;
  }
};

// virlex-render: renders what the Virlex editor shows, driven as a host drives it.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/virlex-render/RenderJob.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return render::RunRender(args, stdout, stderr);
}

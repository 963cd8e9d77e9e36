// camsim: the camera at the other end of a serial line. It opens a
// pseudo-terminal, prints the path of its terminal side on the first line
// of its output (a Wine COM port can be pointed at it), and plays an Avena,
// Belva or Cirra until it is stopped.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/protocol/camera_endpoint.h"
#include "demo.h"
#include "store.h"

namespace fs = std::filesystem;

namespace {

volatile sig_atomic_t g_stop = 0;
void on_signal(int) { g_stop = 1; }

std::int64_t now_us() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

const char kUsage[] =
    "usage: camsim --model avena|belva|cirra (--demo | --storage DIR) [options]\n"
    "       camsim --model avena|belva|cirra --make-demo DIR [--demo-count N] [--demo-size WxH]\n"
    "  --link PATH        make PATH a symbolic link to the terminal\n"
    "  --pace             send no faster than the line speed (10 bits a byte)\n"
    "  --faults LIST      corrupt=RATE,drop=RATE,silence-after=BYTES,max-baud=BAUD\n"
    "                     (RATE per byte, both directions; max-baud: faster speeds only carry noise)\n"
    "  --no-card          the card is out\n"
    "  --memory-full      the image memory is full: card pictures, which pass through it,\n"
    "                     cannot be read until a picture in the memory is deleted\n"
    "  --demo-count N     pictures in each place of the demo set (12)\n"
    "  --demo-size WxH    size of the demo pictures (the model's own)\n";

struct Options {
  const camsim::ModelSpec* model = nullptr;
  bool demo = false;
  std::string storage, make_demo, link;
  bool pace = false, no_card = false, memory_full = false;
  double corrupt = 0, drop = 0;
  std::uint64_t silence_after = UINT64_MAX;
  std::uint32_t max_baud = 0;
  camsim::DemoOptions demo_opt;
};

[[noreturn]] void usage_error(const std::string& why) {
  std::cerr << "camsim: " << why << "\n" << kUsage;
  std::exit(2);
}

bool parse_faults(const std::string& list, Options& o) {
  std::size_t pos = 0;
  while (pos < list.size()) {
    std::size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(pos, end - pos);
    pos = end + 1;
    std::size_t eq = item.find('=');
    if (eq == std::string::npos) return false;
    std::string key = item.substr(0, eq), val = item.substr(eq + 1);
    char* e = nullptr;
    if (key == "corrupt" || key == "drop") {
      double d = std::strtod(val.c_str(), &e);
      if (*e || d < 0 || d > 1) return false;
      (key == "corrupt" ? o.corrupt : o.drop) = d;
    } else if (key == "silence-after" || key == "max-baud") {
      unsigned long long v = std::strtoull(val.c_str(), &e, 10);
      if (*e || val.empty()) return false;
      if (key == "silence-after")
        o.silence_after = v;
      else
        o.max_baud = static_cast<std::uint32_t>(v);
    } else {
      return false;
    }
  }
  return true;
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage_error(a + " needs a value");
      return argv[++i];
    };
    if (a == "--model") {
      o.model = camsim::find_model(value());
      if (!o.model) usage_error("unknown model");
    } else if (a == "--demo") {
      o.demo = true;
    } else if (a == "--storage") {
      o.storage = value();
    } else if (a == "--make-demo") {
      o.make_demo = value();
    } else if (a == "--link") {
      o.link = value();
    } else if (a == "--pace") {
      o.pace = true;
    } else if (a == "--faults") {
      if (!parse_faults(value(), o)) usage_error("bad --faults list");
    } else if (a == "--no-card") {
      o.no_card = true;
    } else if (a == "--memory-full") {
      o.memory_full = true;
    } else if (a == "--demo-count") {
      o.demo_opt.count = std::atoi(value().c_str());
      if (o.demo_opt.count < 0 || o.demo_opt.count > 999) usage_error("bad --demo-count");
    } else if (a == "--demo-size") {
      std::string v = value();
      if (std::sscanf(v.c_str(), "%dx%d", &o.demo_opt.width, &o.demo_opt.height) != 2 || o.demo_opt.width < 2 ||
          o.demo_opt.height < 2 || o.demo_opt.width % 2 || o.demo_opt.height % 2)
        usage_error("bad --demo-size (even width and height, e.g. 160x120)");
    } else if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      std::exit(0);
    } else {
      usage_error("unknown option " + a);
    }
  }
  if (!o.model) usage_error("--model is required");
  int sources = o.demo + !o.storage.empty() + !o.make_demo.empty();
  if (sources != 1) usage_error("give exactly one of --demo, --storage DIR, --make-demo DIR");
  return o;
}

speed_t to_speed(std::uint32_t baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
  }
}

// The line as this end sees it: pacing, faults, and what a real UART pair
// does when the two ends disagree on the speed (the host's speed is what the
// terminal side's settings say).
class Line {
 public:
  Line(int master, int slave, const Options& o) : master_(master), slave_(slave), o_(o), rng_(std::random_device{}()) {}

  bool speeds_match(std::uint32_t camera_baud) const {
    termios t{};
    if (tcgetattr(slave_, &t) != 0) return true;
    speed_t host = cfgetospeed(&t);
    if (host != to_speed(camera_baud)) return false;
    return o_.max_baud == 0 || camera_baud <= o_.max_baud;
  }

  void damage(std::uint8_t* p, std::size_t& n, bool garble) {
    std::uniform_real_distribution<double> u(0, 1);
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
      std::uint8_t b = p[i];
      if (garble) {
        b = static_cast<std::uint8_t>(rng_());
      } else {
        if (o_.drop > 0 && u(rng_) < o_.drop) continue;
        if (o_.corrupt > 0 && u(rng_) < o_.corrupt) b ^= static_cast<std::uint8_t>(1 + rng_() % 255);
      }
      p[k++] = b;
    }
    n = k;
  }

  int master() const { return master_; }

 private:
  int master_, slave_;
  const Options& o_;
  std::mt19937 rng_;
};

int run(const Options& o, const fs::path& dir) {
  camsim::Store store(*o.model, dir);
  store.set_card_present(!o.no_card);
  store.set_memory_full(o.memory_full);
  store.rescan();

  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("camsim: pseudo-terminal");
    return 1;
  }
  std::string slave_path = ptsname(master);
  // Holding the terminal side open ourselves keeps the line up while the
  // driver opens and closes the port, and lets us read the speed it sets.
  // It is also made our controlling terminal: otherwise the first session
  // leader that opens it without O_NOCTTY (Wine's server does) takes it,
  // and gets a hangup signal when we close it.
  int slave = open(slave_path.c_str(), O_RDWR);
  if (slave < 0) {
    std::perror("camsim: terminal side");
    return 1;
  }
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  tcsetattr(slave, TCSANOW, &t);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  if (!o.link.empty()) {
    std::error_code ec;
    fs::remove(o.link, ec);
    fs::create_symlink(slave_path, o.link, ec);
    if (ec) {
      std::cerr << "camsim: cannot link " << o.link << ": " << ec.message() << "\n";
      return 1;
    }
  }
  std::cout << slave_path << std::endl;
  std::cerr << "camsim: " << o.model->name << " on " << slave_path << (o.pace ? ", paced" : "") << "\n";

  Line line(master, slave, o);
  hc::proto::CameraEndpoint ep(store);
  std::vector<std::uint8_t> in(16384), out;
  std::size_t out_pos = 0;
  std::uint64_t sent_total = 0;
  double tokens = 0;
  std::int64_t last_us = now_us(), last_in_us = now_us();

  while (!g_stop) {
    const std::int64_t now = now_us();
    const std::int64_t now_ms = now / 1000;
    const std::uint32_t baud = ep.baud();
    // Pacing: a token bucket filled at the line's byte rate while bytes wait,
    // as a UART drains its transmit buffer: being woken late costs no line
    // time, but an idle line earns no burst (the bucket empties, below).
    tokens += static_cast<double>(now - last_us) * baud / 10.0 / 1e6;
    const double cap = std::max(64.0, baud / 10.0 * 0.05);
    if (tokens > cap) tokens = cap;
    last_us = now;

    if (out_pos >= out.size()) {
      out.clear();
      out_pos = 0;
      if (ep.next_frame(out)) {
        std::size_t n = out.size();
        line.damage(out.data(), n, !line.speeds_match(baud));
        out.resize(n);
        if (sent_total >= o.silence_after) out.clear();
        else if (sent_total + out.size() > o.silence_after) out.resize(static_cast<std::size_t>(o.silence_after - sent_total));
        sent_total += out.size();
      } else if (!ep.busy() && ep.drained(now_ms)) {
        continue;
      }
    }
    if (out_pos >= out.size()) tokens = 0;

    pollfd pfd{master, POLLIN, 0};
    bool want_out = out_pos < out.size();
    if (want_out && (!o.pace || tokens >= 1)) pfd.events |= POLLOUT;
    int timeout = want_out ? 1 : 5;
    int pr = poll(&pfd, 1, timeout);
    if (pr < 0 && errno != EINTR) break;
    if (pfd.revents & POLLIN) {
      ssize_t n = read(master, in.data(), in.size());
      if (n > 0) {
        std::size_t k = static_cast<std::size_t>(n);
        line.damage(in.data(), k, !line.speeds_match(ep.baud()));
        ep.receive(in.data(), k, now_ms);
        last_in_us = now_us();
      }
    } else if (now_us() - last_in_us > 100000) {
      ep.stalled(now_ms);
      last_in_us = now_us();
    }
    if ((pfd.revents & POLLOUT) && out_pos < out.size()) {
      std::size_t n = out.size() - out_pos;
      if (o.pace) n = std::min<std::size_t>(n, static_cast<std::size_t>(tokens));
      ssize_t w = n ? write(master, out.data() + out_pos, n) : 0;
      if (w > 0) {
        out_pos += static_cast<std::size_t>(w);
        tokens -= static_cast<double>(w);
      }
    }
    ep.tick(now_ms);
  }

  if (!o.link.empty()) {
    std::error_code ec;
    fs::remove(o.link, ec);
  }
  close(slave);
  close(master);
  return 0;
}

// Drawing and compressing a demo set takes seconds; it is made once into a
// cache folder and copied for each run, so that deletions start afresh.
std::string demo_from_cache(const Options& o, const fs::path& dest) {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  fs::path cache = xdg && *xdg ? fs::path(xdg) : home && *home ? fs::path(home) / ".cache" : fs::path("/tmp");
  cache /= "camsim";
  const std::string key = std::string(o.model->name) + "-" + std::to_string(o.demo_opt.count) + "-" +
                          std::to_string(o.demo_opt.width) + "x" + std::to_string(o.demo_opt.height) + "-v1";
  const fs::path set = cache / key;
  std::error_code ec;
  if (!fs::is_directory(set)) {
    fs::create_directories(cache, ec);
    fs::path part = cache / (key + ".part" + std::to_string(getpid()));
    fs::remove_all(part, ec);
    std::string err = camsim::make_demo(*o.model, part, o.demo_opt);
    if (!err.empty()) {
      fs::remove_all(part, ec);
      // No cache to be had: make the set in place.
      return camsim::make_demo(*o.model, dest, o.demo_opt);
    }
    fs::rename(part, set, ec);  // another camsim may have won the race: fine
    if (ec) fs::remove_all(part, ec);
  }
  fs::copy(set, dest, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) return camsim::make_demo(*o.model, dest, o.demo_opt);
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  Options o = parse(argc, argv);
  if (!o.make_demo.empty()) {
    std::string err = camsim::make_demo(*o.model, o.make_demo, o.demo_opt);
    if (!err.empty()) {
      std::cerr << "camsim: " << err << "\n";
      return 1;
    }
    return 0;
  }
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  // A session of our own, so that the terminal can become ours (see run).
  // A process group leader cannot start one: a child does, and this
  // process stays as its stand-in for whoever started us.
  if (setsid() < 0) {
    pid_t child = fork();
    if (child < 0) {
      std::perror("camsim: fork");
      return 1;
    }
    if (child > 0) {
      int status = 0;
      while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return 1;
        if (g_stop) kill(child, SIGTERM);
      }
      return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    setsid();
  }

  fs::path dir;
  fs::path temp;
  if (o.demo) {
    char tmpl[] = "/tmp/camsim-demo-XXXXXX";
    if (!mkdtemp(tmpl)) {
      std::perror("camsim: demo folder");
      return 1;
    }
    temp = dir = tmpl;
    std::string err = demo_from_cache(o, dir);
    if (!err.empty()) {
      std::cerr << "camsim: " << err << "\n";
      fs::remove_all(temp);
      return 1;
    }
  } else {
    dir = o.storage;
    if (!fs::is_directory(dir)) usage_error("no such folder: " + o.storage);
  }
  int rc = run(o, dir);
  if (!temp.empty()) {
    std::error_code ec;
    fs::remove_all(temp, ec);
  }
  return rc;
}

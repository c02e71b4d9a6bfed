# The two commands of the README: `make run` and `make test`. Each installs what is
# missing, builds, then starts the program or runs the whole suite.
BUILD     ?= build
FUZZBUILD ?= $(BUILD)/fuzz
JOBS      ?= $(shell nproc)
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian 12 packages: what the program needs to build and run the demo (`make run`), and
# what the tests, benchmarks, fuzzing and packaging need besides (`make test`).
RUN_PACKAGES := cmake ninja-build g++ pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-speech-dev qt6-declarative-dev libqt6texttospeech6 \
  libx11-dev libxtst-dev libxext-dev libxi-dev libxres-dev libxdo-dev \
  libespeak-ng-dev espeak-ng-data espeak-ng libfluidsynth-dev timgm6mb-soundfont \
  libsndfile1-dev libpulse-dev pulseaudio-utils libsdl2-dev libwmf-dev libexpat1-dev libjpeg-dev \
  libzip-dev libaubio-dev \
  libwayland-dev libxkbcommon-dev libfontconfig-dev wayland-protocols qt6-wayland qt6-translations-l10n libqt6svg6 \
  fonts-liberation2 x11-utils mousepad
TEST_PACKAGES := clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng \
  xvfb openbox xdotool x11-xkb-utils x11-xserver-utils xterm dbus-daemon \
  imagemagick python3-tk sox jq onboard appstream desktop-file-utils shared-mime-info dpkg-dev lintian \
  pulseaudio mutter sway xwayland xdg-desktop-portal xdg-desktop-portal-gnome python3-dbus python3-gi \
  python3-numpy
PACKAGES := $(RUN_PACKAGES) $(TEST_PACKAGES)

# install-packages LIST: installs those of LIST that are missing, through apt-get.
define install-packages
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

CONFIGURE := cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXIL_WERROR=ON

.PHONY: all deps deps-run build fuzz fuzz-long fuzz-merge test run clean install package

all: build

deps:
	$(call install-packages,$(PACKAGES))

deps-run:
	$(call install-packages,$(RUN_PACKAGES))

# Everything, the tests and benchmarks included.
build: deps
	$(CONFIGURE) -DVEXIL_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

# The core and the libFuzzer targets, built with clang and the sanitizers.
fuzz: deps
	cmake -S . -B $(FUZZBUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXIL_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZBUILD) -j $(JOBS)

# Long fuzz runs, apart from `make test`: every target (or FUZZ_TARGETS) for FUZZ_TIME
# seconds on a copy of its corpus, FUZZ_JOBS at a time; what they find stays in FUZZ_OUT.
# `make fuzz-merge` then adds to the committed corpora the inputs that raised coverage.
FUZZ_TIME    ?= 600
FUZZ_JOBS    ?= 1
FUZZ_TARGETS ?=
FUZZ_OUT     ?= $(BUILD)/fuzz-long

fuzz-long: fuzz
	bash tests/fuzz/long.sh $(FUZZBUILD)/bin tests/fuzz/corpus $(FUZZ_OUT) $(FUZZ_TIME) \
	  $(FUZZ_JOBS) $(FUZZ_TARGETS)

fuzz-merge: fuzz
	bash tests/fuzz/merge.sh $(FUZZBUILD)/bin tests/fuzz/corpus $(FUZZ_OUT) $(FUZZ_TARGETS)

test: build fuzz
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Installs the programs and their data under PREFIX (bin/, lib/vexil/, share/vexil/, the
# desktop entry, icons, MIME types, metainfo and manual pages).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, vexil_VERSION_ARCH.deb in the build folder: apt install ./vexil_*.deb
package: build
	cmake --build $(BUILD) --target package

# Only what the demo runs: the program and its modules, not the tests or benchmarks.
run: deps-run
	@echo "Building Vexil (the first time about 5 minutes on two cores)..."
	@$(CONFIGURE) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target vexil
	@bash examples/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)

# The two commands of the README: `make run` and `make test`. Each installs what is
# missing, builds, then starts the program or runs the whole suite.
BUILD     ?= build
FUZZBUILD ?= $(BUILD)/fuzz
JOBS      ?= $(shell nproc)
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian 12 packages the build, the program and the tests need.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-speech-dev qt6-declarative-dev libqt6texttospeech6 \
  qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libx11-dev libxtst-dev libxext-dev libxi-dev libxres-dev libxdo-dev \
  libespeak-ng-dev espeak-ng-data libfluidsynth-dev timgm6mb-soundfont \
  libsndfile1-dev libpulse-dev libsdl2-dev libwmf-dev \
  xvfb openbox xdotool x11-utils x11-xkb-utils x11-xserver-utils xterm dbus-daemon \
  imagemagick python3-tk mousepad sox jq onboard fonts-liberation2 \
  libaubio-dev pulseaudio pulseaudio-utils espeak-ng

.PHONY: all deps build fuzz test run clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXIL_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# The core and the libFuzzer targets, built with clang and the sanitizers.
fuzz: deps
	cmake -S . -B $(FUZZBUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXIL_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZBUILD) -j $(JOBS)

test: build fuzz
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	@bash examples/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)

// The Debian package end to end: CPack builds it from the build folder; it
// is unpacked into a temporary folder and its files and control fields are
// checked; as root, apt-get installs it, an ordinary user who never ran the
// installer runs the saver as XScreenSaver's hack under Xvfb, and the
// package is removed again, also when the test fails half-way.
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

#include "e2e/scenario.h"
#include "test_support.h"

#ifndef CALVORINE_CPACK_CONFIG
#error "CALVORINE_CPACK_CONFIG names the build's CPack configuration"
#endif

namespace {

// The test's ordinary user.
constexpr const char* TEST_USER = "calvorine-deb";

bool Calvorine_Installed() {
    return std::system("dpkg-query -W -f='${Status}' calvorine 2>/dev/null | grep -q 'install ok installed'") == 0;
}

class DebianPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"cpack", "dpkg", "dpkg-deb", "dpkg-shlibdeps", "file"}) {
            if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
        }
    }

    void TearDown() override {
        // The script removes what it installed on its way out; should it have
        // been killed before, the package goes here.
        if (std::ifstream(work.file("installed-by-test")).good() && Calvorine_Installed()) {
            ADD_FAILURE() << "the package was still installed after the test";
            (void)!std::system("dpkg --purge calvorine > /dev/null 2>&1");
        }
        (void)!std::system((std::string("userdel ") + TEST_USER + " > /dev/null 2>&1").c_str());
    }

    // Runs a shell script (after the function that makes the package) and
    // collects its "name value" lines.
    void Run(const std::string& scenario, const std::string& wrapper = "") {
        const std::string script = work.file("scenario.sh");
        std::ofstream(script) << R"SH(
set -u
# The package, made into $WORK/cpack; its path in $deb.
make_deb() {
  (cd "$WORK" && cpack -G DEB --config "$CPACK_CONFIG" -B "$WORK/cpack" > "$WORK/cpack.log" 2>&1)
  echo "cpack $?"
  deb=$(ls "$WORK"/cpack/*.deb 2>/dev/null | head -1)
  echo "deb $(basename "$deb")"
}
)SH" << scenario;
        const std::string command = "cd '" + work.path() + "' && WORK='" + work.path() + "' CPACK_CONFIG='" +
                                    CALVORINE_CPACK_CONFIG + "' timeout 600 " + wrapper + " bash '" + script + "' 2>'" +
                                    work.file("stderr.txt") + "'";
        ASSERT_TRUE(printed.Run_Command(command));
        output = printed.text;
    }

    std::string Said(const std::string& name) const { return printed.Said(name); }

    std::set<std::string> Lines(const std::string& file) {
        std::set<std::string> lines;
        std::ifstream in(work.file(file));
        for (std::string line; std::getline(in, line);) lines.insert(line);
        return lines;
    }

    TempFolder work;
    Scenario_Output printed;
    std::string output;
};

}  // namespace

TEST_F(DebianPackageTest, ThePackageHoldsTheSystemInstallationUnderUsr) {
    Run(R"SH(
make_deb
dpkg -x "$deb" "$WORK/root"
(cd "$WORK/root" && find . -mindepth 1 ! -type d | sort) > "$WORK/files.txt"
(cd "$WORK/root" && find . -mindepth 1 -maxdepth 1) > "$WORK/top.txt"
for field in Package Version Architecture Maintainer Section Priority Depends Recommends; do
  echo "field_$field $(dpkg-deb -f "$deb" "$field")"
done
echo "synopsis $(dpkg-deb -f "$deb" Description | head -1)"
echo "description_lines $(dpkg-deb -f "$deb" Description | wc -l)"
echo "info_parts $(dpkg -I "$deb" | grep -cE '^ +[0-9]+ bytes, +[0-9]+ lines +(control|md5sums)')"
echo "architecture $(dpkg --print-architecture)"
echo "hack_link $(readlink "$WORK/root/usr/libexec/xscreensaver/calvorine")"
echo "hack_target $(file -bL "$WORK/root/usr/libexec/xscreensaver/calvorine" | cut -d, -f1)"
echo "unstripped $(file "$WORK"/root/usr/bin/* | grep -c 'not stripped')"
echo "modes $(stat -c %a "$WORK/root/usr/bin/calvorine-saver" "$WORK/root/usr/share/calvorine/Calvorine" \
  "$WORK/root/usr/share/calvorine/Calvorine/Welcome.DAT" | tr '\n' ' ')"
zcat "$WORK/root/usr/share/man/man1/calvorine-saver.1.gz" > "$WORK/manual.txt"
documented=0
for option in '.B /s' '.BI /c' '.BI "/p ' '.BI "/a ' '.B \-\-root' '.BI "\-\-window\-id ' '.BI "\-\-preset ' \
              '.B \-\-random' '.BI "\-\-data\-dir '; do
  grep -qF -- "$option" "$WORK/manual.txt" && documented=$((documented + 1))
done
echo "manual $documented"
echo "settings_entry $(grep -c -e '^Name=Calvorine Settings$' -e '^Exec=calvorine-saver /c$' \
  "$WORK/root/usr/share/applications/calvorine.desktop")"
echo "saver_entry $(grep -c '^Exec=calvorine-saver --root$' "$WORK/root/usr/share/applications/screensavers/calvorine.desktop")"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$WORK/root/usr/share/applications/calvorine.desktop" \
    "$WORK/root/usr/share/applications/screensavers/calvorine.desktop" > "$WORK/validate.txt" 2>&1
  echo "validate $?"
  sed 's/^/desktop-file-validate: /' "$WORK/validate.txt"
fi
if command -v lintian > /dev/null; then
  lintian --display-info --tag-display-limit 0 "$deb" > "$WORK/lintian.txt" 2>&1
  echo "lintian_errors $(grep -c '^E:' "$WORK/lintian.txt")"
  echo "lintian_warnings $(grep -c '^W:' "$WORK/lintian.txt")"
  echo "lintian_hardening $(grep -c -e ' hardening-' -e ' binary-has-unneeded-section' "$WORK/lintian.txt")"
  sed 's/^/lintian: /' "$WORK/lintian.txt"
fi
)SH");
    EXPECT_EQ(Said("cpack"), "0") << output;
    EXPECT_EQ(Said("deb"), "calvorine_1.3_" + Said("architecture") + ".deb");

    // Nothing outside /usr, and every part of the installation inside it.
    EXPECT_EQ(Lines("top.txt"), std::set<std::string>{"./usr"});
    const std::set<std::string> files = Lines("files.txt");
    std::set<std::string> expected = {
        "./usr/bin/calvorine-saver",
        "./usr/bin/calvorine-setup",
        "./usr/bin/calvorine-render",
        "./usr/libexec/xscreensaver/calvorine",
        "./usr/share/xscreensaver/config/calvorine.xml",
        "./usr/share/calvorine/Calvorine/Welcome.DAT",
        "./usr/share/calvorine/Calvorine/Mandala.DAT",
        "./usr/share/calvorine/Calvorine/Data/Help.HLP",
        "./usr/share/calvorine/Calvorine/Data/Bmp/About.bmp",
        "./usr/share/calvorine/Calvorine/Data/Bmp/Font.bmp",
        "./usr/share/calvorine/Calvorine/Data/Bmp/Objects/0.bmp",
        "./usr/share/calvorine/Calvorine/Data/Bmp/Overlays/Heart.bmp",
        "./usr/share/calvorine/Include/Error.wav",
        "./usr/share/applications/calvorine.desktop",
        "./usr/share/applications/screensavers/calvorine.desktop",
        "./usr/share/man/man1/calvorine-saver.1.gz",
        "./usr/share/man/man1/calvorine-setup.1.gz",
        "./usr/share/man/man1/calvorine-render.1.gz",
        "./usr/share/doc/calvorine/copyright",
        "./usr/share/doc/calvorine/changelog.gz",
    };
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string name =
            "/usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/calvorine.png";
        expected.insert("." + name);
        QImage icon(QString::fromStdString(work.file("root" + name)));
        EXPECT_EQ(icon.width(), size) << name;
        EXPECT_EQ(icon.height(), size) << name;
    }
    for (const std::string& file : expected) EXPECT_TRUE(files.count(file)) << file << " is missing";
    // The build's own files (the package folder's saver copy, the installer's
    // archive layout) stay out.
    for (const std::string& file : files) {
        EXPECT_EQ(file.find("Calvorine.dat"), std::string::npos) << file;
        EXPECT_EQ(file.find(".stamp"), std::string::npos) << file;
    }
    EXPECT_EQ(Said("hack_link"), "../../bin/calvorine-saver");
    EXPECT_EQ(Said("hack_target"), "ELF 64-bit LSB pie executable");
    EXPECT_EQ(Said("unstripped"), "0");
    EXPECT_EQ(Said("modes"), "755 755 644 ");

    // The control fields.
    EXPECT_EQ(Said("field_Package"), "calvorine");
    EXPECT_EQ(Said("field_Version"), "1.3");
    EXPECT_EQ(Said("field_Architecture"), Said("architecture"));
    EXPECT_EQ(Said("field_Recommends"), "xscreensaver");
    EXPECT_EQ(Said("field_Section"), "x11");
    EXPECT_NE(Said("field_Maintainer").find('@'), std::string::npos);
    // Worked out from the programs' libraries, with versions.
    for (const char* library :
         {"libc6 (>= ", "libstdc++6 (>= ", "libqt6gui6 (>= ", "libqt6widgets6 (>= ", "libqt6core6 (>= "}) {
        EXPECT_NE(Said("field_Depends").find(library), std::string::npos) << library << " in " << Said("field_Depends");
    }
    EXPECT_EQ(Said("synopsis"), "colour-plasma screen saver with a kaleidoscope, slides and titles");
    EXPECT_GT(std::atoi(Said("description_lines").c_str()), 5);
    EXPECT_EQ(Said("info_parts"), "2");

    EXPECT_EQ(Said("manual"), "9");
    EXPECT_EQ(Said("settings_entry"), "2");
    EXPECT_EQ(Said("saver_entry"), "1");
    if (printed.Has("validate")) {
        EXPECT_EQ(Said("validate"), "0") << output;
    }
    if (printed.Has("lintian_errors")) {
        EXPECT_EQ(Said("lintian_errors"), "0") << output;
        EXPECT_EQ(Said("lintian_warnings"), "0") << output;
        // Hardened (fortified calls, every symbol bound at start) and
        // without the compilers' notes.
        EXPECT_EQ(Said("lintian_hardening"), "0") << output;
    }
}

// apt-get changes the machine: the test runs only as root, only where the
// package is not installed already, and removes it again on every way out.
TEST_F(DebianPackageTest, AptInstallsAWorkingSaverForAUserWhoNeverRanTheInstaller) {
    if (geteuid() != 0) GTEST_SKIP() << "installing a package needs root";
    for (const char* program : {"apt-get", "xvfb-run", "import", "useradd", "userdel", "runuser"}) {
        if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (Calvorine_Installed()) GTEST_SKIP() << "calvorine is installed on this machine: the test would remove it";
    Run(R"SH(
make_deb
remove_package() {
  if [ -f "$WORK/installed-by-test" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq -o DPkg::Lock::Timeout=300 calvorine \
      > "$WORK/remove.log" 2>&1 || dpkg --purge calvorine > /dev/null 2>&1
    rm -f "$WORK/installed-by-test"
  fi
}
trap remove_package EXIT
trap 'exit 1' TERM INT HUP
touch "$WORK/installed-by-test"
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | grep -v '/$' > "$WORK/package-files.txt"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=300 "$deb" \
  > "$WORK/install.log" 2>&1
echo "install $?"
echo "on_path $(command -v calvorine-saver)"
echo "listed $(grep -c 'screensaver name="calvorine"' /usr/share/xscreensaver/config/calvorine.xml)"
echo "system_package $([ -f /usr/share/calvorine/Calvorine/Welcome.DAT ] && echo yes)"

user=calvorine-deb
id -u "$user" > /dev/null 2>&1 || useradd --system --no-create-home --shell /bin/sh "$user"
chmod 755 "$WORK"
home="$WORK/user-home"; run="$WORK/user-run"
mkdir -p "$home" "$run"; chmod 700 "$run"; chown "$user" "$home" "$run"
export QT_QPA_PLATFORM=xcb
runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" \
  QT_QPA_PLATFORM=xcb /usr/libexec/xscreensaver/calvorine --root > "$WORK/hack.log" 2>&1 & hack=$!
sleep 5
import -window root "$WORK/first.png"; sleep 1; import -window root "$WORK/second.png"
hack_pid=$(pgrep -u "$user" -f 'xscreensaver/calvorine --root' | head -1)
kill -TERM "$hack_pid" 2>/dev/null
for _ in $(seq 1 100); do kill -0 "$hack" 2>/dev/null || break; sleep 0.1; done
kill -0 "$hack" 2>/dev/null && { kill -9 "$hack_pid"; echo "hack_exit timeout"; } || { wait "$hack"; echo "hack_exit $?"; }
data="$home/.local/share/Calvorine"
echo "data_owner $(stat -c %U "$data/Welcome.DAT" 2>/dev/null)"
echo "data_files $(ls "$data" "$data/Data/Bmp/Overlays" 2>/dev/null | grep -ci -e '\.dat$' -e '\.bmp$')"
echo "logged $(grep -c 'calvorine folder set up from /usr/share/calvorine' "$data/error_log.txt" 2>/dev/null)"
echo "left_beside $(ls -A "$home/.local/share" | grep -vc '^Calvorine$')"

remove_package
echo "removed $(dpkg-query -W -f='${Status}' calvorine 2>/dev/null | grep -c 'install ok installed')"
echo "files_left $(ls -d /usr/bin/calvorine-saver /usr/libexec/xscreensaver/calvorine /usr/share/calvorine \
  /usr/share/xscreensaver/config/calvorine.xml 2>/dev/null | wc -l)"
echo "package_files $(wc -l < "$WORK/package-files.txt")"
left=0
while read -r file; do [ -e "$file" ] || [ -L "$file" ] && left=$((left + 1)); done < "$WORK/package-files.txt"
echo "package_files_left $left"
echo "folders_left $(ls -d /usr/share/calvorine /usr/share/doc/calvorine 2>/dev/null | wc -l)"
echo "dpkg_knows $(dpkg-query -W -f='${Status}' calvorine 2>/dev/null | wc -c)"
)SH",
        "xvfb-run -a -n " + std::to_string(First_Display_Number(4000)) + " -s '-screen 0 640x480x24 -ac -br -noreset'");
    EXPECT_EQ(Said("cpack"), "0") << output;
    EXPECT_EQ(Said("install"), "0") << output;
    EXPECT_EQ(Said("on_path"), "/usr/bin/calvorine-saver");
    EXPECT_EQ(Said("listed"), "1");
    EXPECT_EQ(Said("system_package"), "yes");

    QImage first(QString::fromStdString(work.file("first.png")));
    QImage second(QString::fromStdString(work.file("second.png")));
    ASSERT_FALSE(first.isNull()) << output;
    ASSERT_FALSE(second.isNull());
    std::set<QRgb> colours;
    int differing = 0;
    for (int y = 0; y < first.height() && y < second.height(); y += 4) {
        for (int x = 0; x < first.width() && x < second.width(); x += 4) {
            colours.insert(first.pixel(x, y) & 0xFFFFFF);
            differing += first.pixel(x, y) != second.pixel(x, y);
        }
    }
    EXPECT_GT(colours.size(), 50u);
    EXPECT_GT(differing, 1000);
    EXPECT_EQ(Said("hack_exit"), "0");

    EXPECT_EQ(Said("data_owner"), TEST_USER);
    EXPECT_GE(std::atoi(Said("data_files").c_str()), 4);
    EXPECT_EQ(Said("logged"), "1");
    EXPECT_EQ(Said("left_beside"), "0");

    // The machine as it was.
    EXPECT_EQ(Said("removed"), "0");
    EXPECT_EQ(Said("files_left"), "0");
    // The purge leaves nothing of the package: no file, no folder of its
    // own, not even dpkg's record of it.
    EXPECT_GT(std::atoi(Said("package_files").c_str()), 20);
    EXPECT_EQ(Said("package_files_left"), "0");
    EXPECT_EQ(Said("folders_left"), "0");
    EXPECT_EQ(Said("dpkg_knows"), "0");
}

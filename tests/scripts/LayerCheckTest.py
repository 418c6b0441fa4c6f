#!/usr/bin/env python3
"""scripts/check-layers.py on small trees with planted includes, and on the checkout."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKOUT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SCRIPT = os.path.join(CHECKOUT, "scripts", "check-layers.py")


def run_check(root):
    result = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
    return result.returncode, result.stdout


class LayerCheckTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        # A sound small tree: every layer uses only what it may.
        self.write("platform/include/twlwin/api.h", "")
        self.write("platform/kernel/Clock.h", '#include "twlwin/api.h"\n')
        self.write("platform/display/DisplayMode.h", '#include "platform/kernel/Clock.h"\n')
        self.write("foundation/kernel/Str.h", '#include "twlwin/api.h"\n')
        self.write("skins/masks/Mask.h", '#include "foundation/kernel/Str.h"\n')
        self.write("display/window/WindowHost.h", '#include "skins/masks/Mask.h"\n')
        self.write("display/auxwindow/AuxWindow.cpp",
                   '#include "display/window/WindowHost.h"\n#include "generated/Resources.h"\n')
        self.write("playback/player/Player.h", '#include "pluginhost/abi/PlugInAbi.h"\n')
        self.write("pluginhost/abi/PlugInAbi.h", "#include <windows.h>\n")
        self.write("pluginhost/players/PlugInPlayer.h", '#include "playback/player/Player.h"\n')
        self.write("app/ui/UserInterface.h", '#include "display/window/WindowHost.h"\n')
        self.write("windows/main/MainWindow.cpp", '#include "app/ui/UserInterface.h"\n')
        self.write("plugins/screevo/Entry.cpp", '#include "pluginhost/abi/PlugInAbi.h"\n')
        self.write("kilnar/app/Burner.cpp", '#include "twlwin/api.h"\n')
        self.write("tests/display/AuxWindowTest.cpp", '#include "windows/main/MainWindow.cpp"\n')
        self.write("tools/twltool/cmd_skin.cpp", '#include "app/ui/UserInterface.h"\n')

    def tearDown(self):
        self.folder.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as file:
            file.write(text)

    def test_sound_tree_passes(self):
        self.assertEqual(run_check(self.root), (0, ""))

    def test_upward_and_sideways_includes_fail(self):
        cases = [
            # (file, include, the layer named in the report)
            ("display/auxwindow/AuxFrame.cpp", "app/ui/UserInterface.h", "display may not include"),
            ("skins/base/SkinPointers.h", "display/window/WindowHost.h", "skins may not include"),
            ("playback/data/DataSystem.cpp", "app/ui/UserInterface.h", "playback+pluginhost may not include"),
            ("app/core/System.h", "windows/main/MainWindow.cpp", "app may not include"),
            ("foundation/log/Log.cpp", "display/window/WindowHost.h", "foundation may not include"),
            ("plugins/screevo/Player.cpp", "playback/player/Player.h", "plugins may not include"),
            ("kilnar/app/Job.cpp", "foundation/kernel/Str.h", "kilnar may not include"),
            # A platform file naming a subsystem's folder where it meant its own.
            ("platform/gdi/Dc.cpp", "display/window/WindowHost.h", "platform may not include"),
        ]
        for path, include, report in cases:
            with self.subTest(path=path, include=include):
                self.write(path, f'#include "{include}"\n')
                code, output = run_check(self.root)
                self.assertEqual(code, 1)
                self.assertIn(f'{path}:1: {report} "{include}"', output)
                os.remove(os.path.join(self.root, path))

    def test_folder_without_a_layer_fails(self):
        self.write("netcode/Socket.cpp", "")
        code, output = run_check(self.root)
        self.assertEqual(code, 1)
        self.assertIn("netcode/Socket.cpp: folder belongs to no layer", output)

    def test_checkout_keeps_its_layers(self):
        code, output = run_check(CHECKOUT)
        self.assertEqual((code, output), (0, ""))


if __name__ == "__main__":
    unittest.main()

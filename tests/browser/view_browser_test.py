#!/usr/bin/python3
"""The route viewer's pages in a real browser: headless Chromium through chromedriver.

Environment: COMPATTATORE_EXE (the program), WRITE_MAXIMUM (write_maximum_descriptions),
VIEW_CHECK_DIR (a folder for the pages and the screenshots it takes).
"""

import json
import os
import pathlib
import subprocess
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

EXE = os.environ["COMPATTATORE_EXE"]
WRITE_MAXIMUM = os.environ["WRITE_MAXIMUM"]
WORK = pathlib.Path(os.environ["VIEW_CHECK_DIR"]).resolve()

# A small scenario whose first station's name tries to end the data's script element.
HOSTILE_NAME = 'ALFA </script><!-- & "B"'
SMALL_LINE = "\r\n".join([
    "[generale]", "lunghezza percorso, 20000", "progressiva chilometrica uno, 0, 0, 0",
    "progressiva chilometrica due, 0, 0, 0", "progressiva chilometrica tre, 0, 0, 0",
    "sfondo uno, 1", "sfondo due, 0", "sfondo tre, 0", "ripetizione segnali 9 codici, 0, 20000",
    "[curve]", "curvad3, 5000, 1000", "[pendenze]", "pendenza, 0, 5", "pendenza, 10000, -3",
    "[fine]", ""])
SMALL_TRAIN = "\r\n".join([
    "[generale]", "numero vetture, 4", "percentuale massa frenata, 125", "sabbia, 120",
    "orologio, 11 49 0", "[aderenze]", "aderenza, 0, 90", "[vel_limite]", "velocita, 0, 120",
    "[stazioni]",
    "stazione, 1000, 8, 700, 1, 0, 0, 4,1,0, 2,1,1, 1, 11,50, 0, " + HOSTILE_NAME,
    "stazione, 18000, 2, 600, 1, 0, 0, 1,1,0, 2,1,1, 0, 12,05, 0, OMEGA",
    "[segnali]", "[fine]", ""])


def run(*args, status=0):
    done = subprocess.run([EXE, *args], capture_output=True, text=True, check=False)
    if done.returncode != status:
        raise AssertionError(f"{args} exited {done.returncode}: {done.stderr}")
    return done


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
              "--window-size=1500,1300", "--force-device-scale-factor=1"):
        options.add_argument(a)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Pages:
    """Every page the checks open, made once."""

    def __init__(self):
        WORK.mkdir(parents=True, exist_ok=True)
        self.sources = WORK / "scenario"
        self.sources.mkdir(exist_ok=True)
        run("sources", "-o", str(self.sources))
        line = self.sources / "Torino_Piacenza_linea.txt"
        train = self.sources / "Torino_Piacenza_2063-.txt"
        self.scenario = WORK / "scenario.html"
        run("view", str(line), str(train), "-o", str(self.scenario))
        # The line of ALESSANDRIA's record, as the page's link to it names it.
        records = train.read_bytes().split(b"\r\n")
        stazione = next(i for i, t in enumerate(records)
                        if t.startswith(b"stazione") and b"ALESSANDRIA" in t)
        self.alessandria_source = f"{train}:{stazione + 1}"

        compiled = WORK / "compiled"
        compiled.mkdir(exist_ok=True)
        run("compile", str(line), str(train), "--line", "Torino_Piacenza", "--train", "2063",
            "-o", str(compiled))
        sim = compiled / "Torino_Piacenza_2063.sim"
        inspected = json.loads(run("inspect", "--json", str(sim)).stdout)
        self.stations = [e for e in inspected["files"][0]["entries"] if e["role"] == "station"]
        self.from_files = WORK / "from_files.html"
        run("view", str(compiled / "Torino_Piacenza_2063.dat"), str(sim),
            str(compiled / "Torino_Piacenza_linea.dat"), "-o", str(self.from_files))
        # A route grid alone: no plan, no names, no progressives.
        self.grid_only = WORK / "grid_only.html"
        run("view", str(compiled / "Torino_Piacenza_2063.dat"), "-o", str(self.grid_only))

        # The scenario with one speed board given twice: an error at a known place.
        broken = WORK / "broken"
        broken.mkdir(exist_ok=True)
        lines = line.read_bytes().split(b"\r\n")
        twice = next(i for i, t in enumerate(lines) if t.startswith(b"indicatori_vmax,  132350,"))
        lines.insert(twice, lines[twice])
        (broken / line.name).write_bytes(b"\r\n".join(lines))
        (broken / train.name).write_bytes(train.read_bytes())
        self.broken_line_number = twice + 2
        self.broken = WORK / "broken.html"
        run("view", str(broken / line.name), str(broken / train.name), "-o", str(self.broken),
            status=1)

        small = WORK / "small"
        small.mkdir(exist_ok=True)
        (small / "Piccola_linea.txt").write_bytes(SMALL_LINE.encode("cp850"))
        (small / "Piccola_7-.txt").write_bytes(SMALL_TRAIN.encode("cp850"))
        self.small = WORK / "small.html"
        run("view", str(small / "Piccola_linea.txt"), str(small / "Piccola_7-.txt"), "-o",
            str(self.small))

        longest = WORK / "longest"
        longest.mkdir(exist_ok=True)
        subprocess.run([WRITE_MAXIMUM, str(longest)], check=True)
        self.longest = WORK / "longest.html"
        run("view", str(longest / "Massima_linea.txt"), str(longest / "Massima_1-.txt"), "-o",
            str(self.longest))


PAGES = None


def setUpModule():
    global PAGES
    PAGES = Pages()


class ViewerInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = browser()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def open(self, page):
        self.driver.get_log("browser")  # drop what earlier pages logged
        started = time.monotonic()
        self.driver.get(page.as_uri())
        self.assertTrue(self.driver.execute_script("return !!window.viewer"), "the page's script ran")
        return time.monotonic() - started

    def assert_clean_load(self):
        problems = [e for e in self.driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        self.assertEqual(problems, [])
        fetched = self.driver.execute_script(
            "return performance.getEntriesByType('resource').map(e => e.name)")
        self.assertEqual(fetched, [])

    def shot(self, name):
        path = WORK / name
        self.driver.save_screenshot(str(path))
        print(f"screenshot: {path}")

    def test_scenario_loads_cleanly_and_lists_every_station(self):
        names = [e["name"] for e in PAGES.stations]
        self.assertEqual(len(names), 32)
        for page in (PAGES.scenario, PAGES.from_files):
            with self.subTest(page=page.name):
                self.open(page)
                self.assert_clean_load()
                listed = [li.text for li in self.driver.find_elements(By.CSS_SELECTOR, "#stations li")]
                self.assertEqual(listed, names)
                self.assertEqual(self.driver.execute_script("return viewer.stationNames()"), names)
        self.open(PAGES.scenario)
        self.shot("view-full.png")

    def test_hover_on_alessandria_shows_its_stop_and_time(self):
        alessandria = next(e for e in PAGES.stations if e["name"] == "ALESSANDRIA")
        self.open(PAGES.scenario)
        self.driver.execute_script("viewer.zoomRoute(85000, 97000)")
        point = self.driver.execute_script("return viewer.stationPoint('ALESSANDRIA')")
        canvas = self.driver.find_element(By.ID, "bands")
        box = self.driver.execute_script(
            "const r = arguments[0].getBoundingClientRect(); return [r.left, r.top, r.width, r.height]",
            canvas)
        ActionChains(self.driver).move_to_element_with_offset(
            canvas, int(point["x"] - box[0] - box[2] / 2), int(point["y"] - box[1] - box[3] / 2)
        ).perform()
        tip = self.driver.find_element(By.ID, "tip")
        self.assertTrue(tip.is_displayed())
        text = tip.text
        self.assertIn("ALESSANDRIA", text)
        # Its position is where the railway kilometres start again.
        self.assertIn(f"position km 0+000 (route {alessandria['position']} m)", text)
        self.assertRegex(text, r"stop km \d+\+\d{3} \(route \d+ m\)")
        self.assertIn("time 12:46:00", text)
        self.assertIn(f"from {PAGES.alessandria_source}", text)
        self.shot("view-zoomed.png")

    def test_zoom_shows_only_objects_in_the_range(self):
        self.open(PAGES.scenario)
        cases = [  # reckoning, from km, to km, names that must and must not show
            ("route", 90, 100, {"ALESSANDRIA", "SPINETTA-MARENGO"}, {"SOLERO", "TORTONA"}),
            # Railway km 90-100 is where the line holds most of it: after ALESSANDRIA,
            # where the reckoning starts again (route 180800 m on).
            ("railway", 90, 100, {"PIACENZA"}, {"ALESSANDRIA", "SOLERO"}),
        ]
        for reckoning, a, b, shown, hidden in cases:
            with self.subTest(reckoning=reckoning):
                # Through the range box, as an author would.
                self.driver.find_element(By.ID, "whole").click()
                for field, value in (("km-from", a), ("km-to", b)):
                    box = self.driver.find_element(By.ID, field)
                    box.clear()
                    box.send_keys(str(value))
                self.driver.find_element(
                    By.CSS_SELECTOR, f"#reckoning option[value={reckoning}]").click()
                self.driver.find_element(By.CSS_SELECTOR, "#range button[type=submit]").click()
                objects = self.driver.execute_script("return viewer.visibleObjects()")
                self.assertGreater(len(objects), 5)
                key = "m" if reckoning == "route" else "km"
                outside = [o for o in objects if not a * 1000 <= o[key] <= b * 1000]
                self.assertEqual(outside, [])
                stations = {o["label"] for o in objects if o["kind"] == "station"}
                self.assertTrue(shown <= stations, stations)
                self.assertFalse(hidden & stations, stations)

    def test_broken_text_diagnostic_is_listed_and_marked_at_its_km(self):
        self.open(PAGES.broken)
        self.assert_clean_load()
        items = self.driver.find_elements(By.CSS_SELECTOR, "#diagnostics li")
        self.assertEqual(len(items), 1)
        self.assertIn(f"Torino_Piacenza_linea.txt:{PAGES.broken_line_number}:1: error:", items[0].text)
        self.assertIn("[R21] at 132350 m (km 41+550)", items[0].text)
        items[0].click()
        marks = self.driver.execute_script("return viewer.diagnosticMarks()")
        self.assertEqual([(m["position"], m["km"], m["drawn"]) for m in marks],
                         [(132350, 41550, True)])
        self.shot("view-broken.png")

    def test_route_grid_alone_still_draws(self):
        self.open(PAGES.grid_only)
        self.assert_clean_load()
        self.assertEqual(self.driver.find_elements(By.CSS_SELECTOR, "#stations li"), [])
        self.driver.execute_script("viewer.zoomKm(90, 100)")
        kinds = {o["kind"] for o in self.driver.execute_script("return viewer.visibleObjects()")}
        self.assertIn("signal", kinds)
        self.assertEqual(self.driver.get_log("browser"), [])

    def test_small_scenario_keeps_a_name_that_looks_like_markup(self):
        self.open(PAGES.small)
        self.assert_clean_load()
        listed = [li.text for li in self.driver.find_elements(By.CSS_SELECTOR, "#stations li")]
        self.assertEqual(listed, [HOSTILE_NAME, "OMEGA"])
        self.assertEqual(self.driver.execute_script("return viewer.stationNames()"),
                         [HOSTILE_NAME, "OMEGA"])
        self.assertEqual(self.driver.execute_script("return document.scripts.length"), 2)

    def test_longest_line_opens_and_pans(self):
        seconds = self.open(PAGES.longest)
        self.assert_clean_load()
        drawn_ms = self.driver.execute_script("return viewer.drawnAt")
        size = PAGES.longest.stat().st_size
        print(f"longest line page: {size} bytes, drawn {drawn_ms:.0f} ms after navigation, "
              f"loaded in {seconds * 1000:.0f} ms as the driver saw it")
        # A sanity bound only; the figure itself is what the report gives.
        self.assertLess(drawn_ms, 10000)
        pan_ms = self.driver.execute_script("""
            const t0 = performance.now();
            for (let i = 0; i < 50; ++i) viewer.zoomRoute(400000 + i * 2000, 420000 + i * 2000);
            return (performance.now() - t0) / 50;""")
        print(f"longest line: {pan_ms:.1f} ms per redraw while panning a 20 km range")
        self.assertEqual(len(self.driver.find_elements(By.CSS_SELECTOR, "#stations li")), 49)
        self.driver.find_element(By.ID, "whole").click()
        self.shot("view-longest.png")


if __name__ == "__main__":
    unittest.main(verbosity=2)

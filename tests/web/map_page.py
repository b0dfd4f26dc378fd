"""Drives the map page of metdb serve in headless Chromium (selenium).

Usage: map_page.py URL [SCREENSHOT.png]

Loads the page, waits for the dots, types a query and waits for its hit
(whose record shows the identifier wmo:84008 and an elevation of 6 m),
clicks the map and waits for the nearest locations. Exits 0 when all
happened, 1 when one did not, 77 when Chromium or selenium is missing.
"""
import shutil
import sys

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("python3-selenium is not installed")
    sys.exit(77)

driver_path = shutil.which("chromedriver")
browser = shutil.which("chromium") or shutil.which("chromium-browser")
if not driver_path or not browser:
    print("chromium and chromium-driver are not installed")
    sys.exit(77)

url, shot = sys.argv[1], (sys.argv[2] if len(sys.argv) > 2 else None)
options = webdriver.ChromeOptions()
options.binary_location = browser
for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
          "--window-size=1280,800"):
    options.add_argument(a)
driver = webdriver.Chrome(service=Service(driver_path), options=options)
wait = WebDriverWait(driver, 30)
try:
    driver.get(url + "/")
    status = driver.find_element(By.ID, "status")
    wait.until(lambda d: "locations" in status.text)

    driver.find_element(By.ID, "search").send_keys("galapag")
    wait.until(lambda d: any("Galapagos" in e.text for e in d.find_elements(By.CSS_SELECTOR, "#results li")))
    wait.until(lambda d: "Galapagos" in d.find_element(By.ID, "record").text)
    record = driver.find_element(By.ID, "record").text
    if "wmo:84008" not in record or "6 m" not in record:
        raise AssertionError("the record panel lacks the identifier or elevation: " + record)

    # A click in the middle of the map: the nearest locations come.
    map_element = driver.find_element(By.ID, "map")
    ActionChains(driver).move_to_element(map_element).click().perform()
    wait.until(lambda d: d.find_element(By.ID, "status").text.startswith("Nearest to"))
    wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#results li")) == 10)
    if shot:
        driver.find_element(By.ID, "search").clear()
        driver.find_element(By.ID, "search").send_keys("helsinki")
        wait.until(lambda d: d.find_element(By.ID, "status").text.startswith("Nearest") is False)
        driver.save_screenshot(shot)
    print("ok")
except Exception as e:  # noqa: BLE001 - the test reports what did not happen
    print("failed: %r" % e)
    sys.exit(1)
finally:
    driver.quit()

#!/usr/bin/python3
"""Drives the web page, as shipped in its release zip, in headless Chromium.

The test picks the examples folder (with a picture for one keyboard), then a
folder with a keyboard in a nested folder under a name with an umlaut and one
whose name and image path are markup, then three XML files one by one (a
converted keyboard, a schema sample with an unknown attribute, a file that is
not well-formed). It requires of the page: a row per file with the status and
counts dravonix-check reports; every XML file in "download all", and one
downloaded from its row, equal to what dravonix (or dravonix-resave) writes,
every report to dravonix-check's lines; the messy example's report lines
shown; a preview equal to dravonix-render's picture and showing keys; the
markup shown as text, no script run and nothing blocked; the filter; every
control reached with Tab, showing its focus; nothing wider than a phone's
screen. It leaves screenshots at desktop and phone width in OUT_DIR; with
DRAVONIX_UPDATE_DOCS=1 the desktop one becomes docs/web-page.png.

With DRAVONIX_WEB_MEASURE=1 it also converts a generated 4 MiB keyboard in
the page and with dravonix, and prints both times.

Usage: web_page_test.py PAGE_ZIP NATIVE_BUILD_DIR SOURCE_DIR OUT_DIR
"""
import functools
import http.server
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zipfile
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

HOSTILE = '<img src=x onerror=alert(1)>'
HOSTILE_IMAGE = '"><script>alert(2)</script>'
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print('FAIL:', message)


def wait_for(predicate, what, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise SystemExit(f'FAIL: timed out waiting for {what}')


def png(width, height):
    """A grey PNG picture."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    pixels = (b'\x00' + b'\x80' * width) * height
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 0, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(pixels)) + chunk(b'IEND', b''))


def make_inputs(source, bin_dir, root):
    """The files the test gives the page, below root: {path the page shows:
    (folder the commands run in, the path they are given)}."""
    examples = os.path.join(root, 'examples')
    os.makedirs(os.path.join(examples, 'images'))
    for name in os.listdir(os.path.join(source, 'examples')):
        if name.endswith('.kbd'):
            shutil.copy(os.path.join(source, 'examples', name), examples)
    # The compact pad's panel picture, under the name the keyboard gives; the
    # preview recognises it by its content.
    with open(os.path.join(examples, 'images', 'pad_normal.jpg'), 'wb') as f:
        f.write(png(8, 8))
    more = os.path.join(root, 'more')
    os.makedirs(os.path.join(more, 'nested folder'))
    shutil.copy(os.path.join(source, 'examples', 'compact_pad.kbd'),
                os.path.join(more, 'nested folder', 'Kompakt Übersicht.kbd'))
    with open(os.path.join(more, HOSTILE + '.kbd'), 'w', encoding='utf-8') as f:
        f.write(f'[KEYDEF]\n{HOSTILE}\nxres=800\nnormal jpeg={HOSTILE_IMAGE}\n'
                "[NOT INFLUENCED BY SHIFT]\n[0,0,60,0,60,40,0,40], 1, 1, 65, 0, 'a'\n"
                '[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n')
    # Files named .kbd that hold no keyboard: warnings, never clean.
    open(os.path.join(more, 'empty.kbd'), 'w').close()
    with open(os.path.join(more, 'moved.kbd'), 'w') as f:
        f.write('<keydef name="Moved">\n<subkeydef name="1"/>\n</keydef>\n')
    single = os.path.join(root, 'single')
    os.makedirs(single)
    subprocess.run([os.path.join(bin_dir, 'dravonix'), os.path.join(source, 'examples',
                    'typewriter.kbd'), os.path.join(single, 'typewriter.xml')], check=True)
    shutil.copy(os.path.join(source, 'schema', 'testdata', 'invalid-unknown-attribute.xml'), single)
    with open(os.path.join(single, 'broken.xml'), 'w') as f:
        f.write('<keydef name="x">\n<subkeydef>\n</keydef>\n')
    inputs = {}
    for directory, _, names in os.walk(root):
        for name in names:
            path = os.path.relpath(os.path.join(directory, name), root)
            if path.startswith('single/'):
                inputs[name] = (single, name)
            elif name.endswith('.kbd'):
                inputs[path] = (root, path)
    return inputs


def native_outputs(bin_dir, inputs, expected):
    """What the commands make of each input: the XML file (None when none is
    written), the picture of a .kbd file, dravonix-check's lines and the row
    they mean."""
    results = {}
    for path, (cwd, argument) in inputs.items():
        stem = os.path.join(expected, re.sub(r'\.(kbd|xml)$', '', path))
        os.makedirs(os.path.dirname(stem), exist_ok=True)
        kbd = path.endswith('.kbd')
        converter = 'dravonix' if kbd else 'dravonix-resave'
        converted = subprocess.run([os.path.join(bin_dir, converter), argument, stem + '.xml'],
                                   cwd=cwd, capture_output=True).returncode == 0
        if kbd:
            subprocess.run([os.path.join(bin_dir, 'dravonix-render'), argument, stem + '.svg'],
                           cwd=cwd, check=True)
        run = subprocess.run([os.path.join(bin_dir, 'dravonix-check'), argument], cwd=cwd,
                             capture_output=True, encoding='utf-8')
        lines = run.stdout.splitlines(keepends=True)[:-1] + run.stderr.splitlines(keepends=True)
        summary = re.search(r': (\d+) panels?, (\d+) keys?, \d+ macros?, \d+ sounds?; '
                            r'(\d+) warnings?(?:: [^(]*)? \(read as (\.kbd|XML)\)$', lines[-1])
        row = [['clean', 'warnings', 'failed'][run.returncode], *summary.groups()[:3]] \
            if summary else ['failed', '', '', '']
        results[path] = {
            'xml': open(stem + '.xml', 'rb').read() if converted else None,
            'svg': open(stem + '.svg', 'rb').read() if kbd else None,
            'report': ''.join(lines),
            'row': row,
        }
    return results


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_browser(profile, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
    for argument in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
                     '--no-first-run', '--disable-background-networking',
                     '--disable-component-update', '--disable-sync', '--hide-scrollbars',
                     f'--user-data-dir={profile}', '--window-size=1280,900']:
        options.add_argument(argument)
    options.add_experimental_option('prefs', {'download.default_directory': downloads,
                                              'download.prompt_for_download': False})
    driver = webdriver.Chrome(service=Service(shutil.which('chromedriver')), options=options)
    driver.execute_cdp_cmd('Browser.setDownloadBehavior',
                           {'behavior': 'allow', 'downloadPath': downloads})
    return driver


def downloaded(downloads, name):
    path = os.path.join(downloads, name)
    pending = [n for n in os.listdir(downloads) if n.endswith('.crdownload')]
    return path if os.path.exists(path) and not pending else None


def rows(driver):
    return driver.execute_script('''
        return [...document.querySelectorAll('tr.keyboard')].map((row) => [
          row.cells[0].firstChild.textContent, row.querySelector('.status').textContent,
          row.cells[2].textContent, row.cells[3].textContent, row.cells[4].textContent,
          row.hidden]);''')


def in_row(driver, path, selector):
    """An element of the row of the keyboard shown as path."""
    found = driver.execute_script('''
        const row = [...document.querySelectorAll('tr.keyboard')]
          .find((r) => r.cells[0].firstChild.textContent === arguments[0]);
        return row ? row.querySelector(arguments[1]) : null;''', path, selector)
    if found is None:
        raise SystemExit(f'FAIL: no row shows {path}')
    return found


def open_details(driver, path):
    """Opens (or closes) the report and picture of a keyboard's row."""
    button = in_row(driver, path, 'button')
    button.click()
    return driver.execute_script(
        'return document.getElementById(arguments[0].getAttribute("aria-controls"))', button)


def shown_picture(driver, details):
    image = wait_for(lambda: details.find_elements(By.CSS_SELECTOR, 'img'), 'a preview')[0]
    wait_for(lambda: driver.execute_script(
        'return arguments[0].complete && arguments[0].naturalWidth > 0', image), 'its picture')
    return image


def coloured_pixels(driver, image):
    """Pixels of the picture whose colour is clearly not grey: key fills."""
    return driver.execute_script('''
        const image = arguments[0];
        const canvas = document.createElement('canvas');
        canvas.width = image.naturalWidth;
        canvas.height = image.naturalHeight;
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
        let count = 0;
        for (let i = 0; i < data.length; i += 4) {
          const high = Math.max(data[i], data[i + 1], data[i + 2]);
          const low = Math.min(data[i], data[i + 1], data[i + 2]);
          if (high - low > 40) count++;
        }
        return count;''', image)


def tab_through(driver):
    """The controls Tab reaches from the first one round to it again, with
    whether each shows where the focus is."""
    driver.execute_script('window.scrollTo(0, 0); document.getElementById("choose-files").focus()')
    reached = []
    for _ in range(80):
        name, focus_shown, on_body = driver.execute_script('''
            const e = document.activeElement;
            const style = getComputedStyle(e);
            return [e.id || e.getAttribute('aria-label') || (e.labels && e.labels[0].textContent),
                    style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2,
                    e === document.body];''')
        if reached and name == reached[0][0]:
            reached[0] = (name, focus_shown)  # the first was focused by the test, now by Tab
            break
        if not on_body:  # else the focus is on the browser's own controls
            reached.append((name, focus_shown))
        driver.switch_to.active_element.send_keys(Keys.TAB)
    return reached


def run_page(driver, url, root, inputs, expected, downloads, source, out):
    driver.get(url)
    wait_for(lambda: driver.execute_script('return document.body.dataset.state') == 'ready',
             'the converter to load')
    check(driver.find_element(By.ID, 'code-page-choice').is_displayed() and
          driver.execute_script(
              "return [...document.getElementById('code-page').options].map(o => o.value).join()")
          == ',874,1250,1251,1253,1254,1255,1256,1257,1258,932,936,949,950,65001',
          'the code page choice is not shown with every supported code page')
    driver.execute_script('''
        window.testAlerts = 0;
        window.alert = () => { window.testAlerts++; };
        window.testViolations = [];
        document.addEventListener('securitypolicyviolation',
          (e) => window.testViolations.push(`${e.violatedDirective} ${e.blockedURI}`));''')

    def pick(input_id, paths):
        driver.execute_script('document.body.dataset.state = "picking"')
        driver.find_element(By.ID, input_id).send_keys('\n'.join(paths))
        wait_for(lambda: driver.execute_script('return document.body.dataset.state') == 'done',
                 f'every row of {paths}')

    # The examples first: a preview (the picture dravonix-render draws, with
    # its keys in colour), and the README's screenshot.
    pick('folder', [os.path.join(root, 'examples')])
    image = shown_picture(driver, open_details(driver, 'examples/compact_pad.kbd'))
    check(coloured_pixels(driver, image) > 20000, 'the preview shows no keys')
    in_row(driver, 'examples/compact_pad.kbd', 'button').find_element(
        By.XPATH, '../../following-sibling::tr[1]').find_element(By.LINK_TEXT, 'Picture (SVG)').click()
    picture = wait_for(lambda: downloaded(downloads, 'compact_pad.svg'), 'the picture download')
    check(open(picture, 'rb').read() == expected['examples/compact_pad.kbd']['svg'],
          'compact_pad.kbd: the picture differs from dravonix-render\'s')
    open_details(driver, 'examples/compact_pad.kbd')  # closes it again
    shown_picture(driver, open_details(driver, 'examples/typewriter.kbd'))
    driver.set_window_size(1200, 1150)
    driver.save_screenshot(os.path.join(out, 'web-page-desktop.png'))
    if os.environ.get('DRAVONIX_UPDATE_DOCS') == '1':
        shutil.copy(os.path.join(out, 'web-page-desktop.png'),
                    os.path.join(source, 'docs', 'web-page.png'))
    driver.set_window_size(1280, 900)

    # Then a second folder and single files: every row as dravonix-check has it.
    pick('folder', [os.path.join(root, 'more')])
    pick('files', [os.path.join(root, 'single', name) for name in inputs if '/' not in name])
    shown = {row[0]: row[1:5] for row in rows(driver)}
    check(sorted(shown) == sorted(inputs), f'rows {sorted(shown)}, expected {sorted(inputs)}')
    for path in inputs:
        check(shown.get(path) == expected[path]['row'],
              f'{path}: row {shown.get(path)}, dravonix-check says {expected[path]["row"]}')
    for path in ['examples/messy.kbd', 'invalid-unknown-attribute.xml', 'broken.xml']:
        report = open_details(driver, path).find_element(By.CSS_SELECTOR, 'pre').text + '\n'
        check(report == expected[path]['report'], f'{path}: the page shows the report\n{report}')

    # One XML file from its row, and all of them with their reports in one zip.
    nested = 'more/nested folder/Kompakt Übersicht.kbd'
    in_row(driver, nested, 'a').click()
    single = wait_for(lambda: downloaded(downloads, 'Kompakt Übersicht.xml'), 'the XML download')
    check(open(single, 'rb').read() == expected[nested]['xml'],
          f'{nested}: the downloaded XML differs from dravonix\'s')
    driver.find_element(By.ID, 'download-all').click()
    with zipfile.ZipFile(wait_for(lambda: downloaded(downloads, 'keyboards.zip'), 'the zip')) as z:
        check(z.testzip() is None, 'the zip has a damaged entry')
        wanted = {}
        for path, outcome in expected.items():
            stem = re.sub(r'\.(kbd|xml)$', '', path)
            if outcome['xml'] is not None:
                wanted[stem + '.xml'] = outcome['xml']
            wanted[stem + '.check.txt'] = outcome['report'].encode()
        check(sorted(z.namelist()) == sorted(wanted), f'the zip holds {sorted(z.namelist())}')
        for name in set(z.namelist()) & set(wanted):
            check(z.read(name) == wanted[name], f'{name} in the zip differs from the commands\'')

    # Markup in a name and an image path stays text; nothing ran or was blocked.
    def markup_inert():
        state = driver.execute_script('''
            return [document.querySelectorAll('img[src="x"], script:not([src])').length,
                    document.scripts.length, window.testAlerts, window.testViolations];''')
        check(state == [0, 1, 0, []], f'markup from a file took effect: {state}')
    markup_inert()
    shown_picture(driver, open_details(driver, f'more/{HOSTILE}.kbd'))
    markup_inert()

    # The filter shows only the files with warnings or failures.
    driver.find_element(By.CSS_SELECTOR, 'input[value=problems]').click()
    visible = sorted(row[0] for row in rows(driver) if not row[5])
    check(visible == sorted(p for p in inputs if expected[p]['row'][0] != 'clean'),
          f'the filter shows {visible}')
    driver.find_element(By.CSS_SELECTOR, 'input[value=all]').click()
    check(driver.execute_script('return !arguments[0].closest("tr").nextElementSibling.hidden',
                                in_row(driver, 'examples/typewriter.kbd', 'a')),
          'a keyboard\'s open report and picture stay closed after the filter')

    # Every control is reached with Tab and shows where the focus is.
    reached = tab_through(driver)
    names = [name for name, _ in reached]
    for control in ['choose-files', 'choose-folder', 'download-all', ' all keyboards', 'clear',
                    'XML file of examples/typewriter.kbd',
                    'Report and picture of examples/typewriter.kbd', 'Report of broken.xml']:
        check(control in names, f'Tab does not reach {control}: {names}')
    check(all(shown for _, shown in reached), f'a control shows no focus: {reached}')

    # A phone's width: nothing wider than the screen.
    driver.set_window_size(390, 844)
    widths = driver.execute_script(
        'return [document.documentElement.scrollWidth, document.documentElement.clientWidth]')
    check(widths[0] <= widths[1], f'the page is {widths[0]} px wide on a {widths[1]} px screen')
    driver.execute_script('arguments[0].closest("tr").scrollIntoView()',
                          in_row(driver, 'examples/typewriter.kbd', 'a'))
    driver.save_screenshot(os.path.join(out, 'web-page-phone.png'))
    driver.set_window_size(1280, 900)


def measure(driver, native_dir, work):
    """Converts a generated 4 MiB keyboard in the page and with dravonix."""
    path = os.path.join(work, 'generated-4MiB.kbd')
    subprocess.run([os.path.join(native_dir, 'bench', 'kbd_generator'), '4194304', '4', path],
                   check=True)
    native = []
    for _ in range(3):
        start = time.monotonic()
        subprocess.run([os.path.join(native_dir, 'driver', 'dravonix'), path,
                        os.path.join(work, 'generated.xml')], check=True, stderr=subprocess.DEVNULL)
        native.append(time.monotonic() - start)
    page = []
    for _ in range(3):
        driver.find_element(By.ID, 'clear').click()
        driver.execute_script('document.body.dataset.state = "picking"')
        driver.find_element(By.ID, 'files').send_keys(path)
        wait_for(lambda: driver.execute_script('return document.body.dataset.state') == 'done',
                 'the generated keyboard', 300)
        open_details(driver, 'generated-4MiB.kbd')
        wait_for(lambda: driver.find_elements(By.CSS_SELECTOR, 'tr.details img'), 'its picture', 300)
        page.append(driver.execute_script('''
            const last = (name) => performance.getEntriesByName(name).pop().duration / 1000;
            return [last('convert generated-4MiB.kbd'), last('draw generated-4MiB.kbd')];'''))
    convert = min(times[0] for times in page)
    print(f'web page: a generated 4 MiB keyboard converted and checked in {convert:.2f} s in the '
          f'page, by dravonix in {min(native):.2f} s (whole process): {convert / min(native):.1f}x; '
          f'its picture drawn in {min(times[1] for times in page):.2f} s')


def main():
    page_zip, native_dir, source, out = (os.path.abspath(a) for a in sys.argv[1:5])
    bin_dir = os.path.join(native_dir, 'driver')
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp(prefix='dravonix-web-')
    try:
        served = os.path.join(work, 'served')
        with zipfile.ZipFile(page_zip) as archive:
            archive.extractall(served)
        (folder,) = os.listdir(served)
        served = os.path.join(served, folder)
        check(sorted(os.listdir(served)) ==
              ['README-web.txt', 'dravonix-web.js', 'dravonix-web.wasm', 'index.html'],
              f'the release zip holds {sorted(os.listdir(served))}')
        root = os.path.join(work, 'in')
        inputs = make_inputs(source, bin_dir, root)
        expected = native_outputs(bin_dir, inputs, os.path.join(work, 'expected'))
        downloads = os.path.join(work, 'downloads')
        os.makedirs(downloads)
        server = serve(served)
        driver = start_browser(os.path.join(work, 'profile'), downloads)
        try:
            run_page(driver, f'http://127.0.0.1:{server.server_address[1]}/', root, inputs,
                     expected, downloads, source, out)
            if os.environ.get('DRAVONIX_WEB_MEASURE') == '1':
                measure(driver, native_dir, work)
        finally:
            driver.quit()
            server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        raise SystemExit(f'web page: {len(failures)} failure(s)')
    print(f'web page: {len(inputs)} files converted and checked in the page as the commands do; '
          'preview, zip, markup, filter, keyboard use and narrow screen as required')


if __name__ == '__main__':
    main()

function mpc = v33_two_winding
%V33_TWO_WINDING  v33_two_winding.raw as MATPOWER holds it
%   Reactances on the system base (100 MVA, bus base voltages) and ratios
%   in pu of the bus base voltages, derived by hand:
%   1-2 '1' CW1 CZ1: x = 0.1, ratio 1.05/1.0 = 1.05
%   1-2 '2' CW2 CZ2: x = 0.05 * (230^2/50) / (230^2/100) = 0.1,
%                    ratio (236.9/115) * (115/230) = 1.03, shift 30
%   1-3 '1' CW3 CZ3: R = 300000 W / 1e6 / 100 MVA = 0.003 pu, X = sqrt(0.005^2 - 0.003^2) = 0.004
%                    on 220 kV, 100 MVA: x = 0.004 * (220^2/100) / (230^2/100) = 0.004 * 484/529
%                    ratio (1.05/1.0) * (115/230) * (220/110) = 1.05
%   2-4 '1' CW2 CZ1: x = 0.08, ratio (120.75/13.8) * (13.8/115) = 1.05
%   3-4 '1' CW1 CZ2, NOMV1 0 = 115 kV: x = 0.02 * (115^2/25) / (115^2/100) = 0.08, ratio 0.975, out of service
%   5-4 '1' CW1 CZ2, bus 5 without base kV: x = 0.1 * 100/200 = 0.05, ratio 1, shift -10

%% MATPOWER Case Format : Version 2
mpc.version = '2';

mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	1	3	0	0	0	0	1	1	0	230	1	1.1	0.9;
	2	1	50	0	0	0	1	1	0	115	1	1.1	0.9;
	3	1	30	0	0	0	1	1	0	115	1	1.1	0.9;
	4	1	20	0	0	0	1	1	0	13.8	1	1.1	0.9;
	5	1	10	0	0	0	1	1	0	0	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin	Pc1	Pc2	Qc1min	Qc1max	Qc2min	Qc2max	ramp_agc	ramp_10	ramp_30	ramp_q	apf
mpc.gen = [
	1	110	0	100	-100	1	100	1	300	0	0	0	0	0	0	0	0	0	0	0	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	1	2	0	0.1	0	0	0	0	1.05	0	1	-360	360;
	1	2	0	0.1	0	90	90	90	1.03	30	1	-360	360;
	1	3	0	0.00365973534971645	0	0	0	0	1.05	0	1	-360	360;
	2	4	0	0.08	0	40	0	0	1.05	0	1	-360	360;
	3	4	0	0.08	0	0	0	0	0.975	0	0	-360	360;
	5	4	0	0.05	0	0	0	0	1	-10	1	-360	360;
];

%% generator cost data
%	2	startup	shutdown	n	c(n-1)	...	c0
mpc.gencost = [
	2	0	0	3	0.01	15	0;
];

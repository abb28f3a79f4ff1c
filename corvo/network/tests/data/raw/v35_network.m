function mpc = v35_network
%V35_NETWORK  v35_network.raw with v35_network.costs.csv, as MATPOWER holds it
%   Bus 20: loads 100 + 50, Gs = GI 0.01 x 100 MVA of the branch 20-30.
%   Bus 30: its load out of service; Gs = GL 5 + GJ 0.02 x 100 MVA.
%   Bus 40: its fixed shunt out of service. Bus 50 isolated.
%   The breaker 30-40 (a system switching device) is a branch of x = 1e-4.
%   Branches: lines first, the switching device, the two-winding transformer,
%   then the three windings of 'T3' to its star bus 101 (largest bus 50:
%   10^ceil(log10(51)) = 100, + 1).
%   T1 CW2 CZ2: x = 0.08 * (230^2/200) / (230^2/100) = 0.04,
%               ratio (241.5/115) * (115/230) = 1.05, shift -3, rating 120.
%   T3 CZ1: x12 0.1, x23 0.2, x31 0.15 -> star 0.025, 0.075, 0.125;
%           CW1 ratios 1.02, 0.98, 1; shift 2 on winding 2; ratings 100, 80, 0.

%% MATPOWER Case Format : Version 2
mpc.version = '2';

mpc.baseMVA = 100;

%% bus data
%	bus_i	type	Pd	Qd	Gs	Bs	area	Vm	Va	baseKV	zone	Vmax	Vmin
mpc.bus = [
	10	3	0	0	0	0	1	1.02	5	230	1	1.1	0.9;
	20	2	150	0	1	0	1	1	0	230	1	1.1	0.9;
	30	1	0	0	7	0	1	1	0	115	1	1.1	0.9;
	40	1	80	0	0	0	1	1	0	115	1	1.1	0.9;
	50	4	0	0	0	0	1	1	0	115	1	1.1	0.9;
	101	1	0	0	0	0	1	1	-1.5	1	1	1.1	0.9;
];

%% generator data
%	bus	Pg	Qg	Qmax	Qmin	Vg	mBase	status	Pmax	Pmin	Pc1	Pc2	Qc1min	Qc1max	Qc2min	Qc2max	ramp_agc	ramp_10	ramp_30	ramp_q	apf
mpc.gen = [
	10	100	0	50	-50	1.02	200	1	250	10	0	0	0	0	0	0	0	0	0	0	0;
	10	50	0	50	-50	1.02	200	1	120	-20	0	0	0	0	0	0	0	0	0	0	0;
	20	0	0	50	-50	1	200	0	90	0	0	0	0	0	0	0	0	0	0	0	0;
];

%% branch data
%	fbus	tbus	r	x	b	rateA	rateB	rateC	ratio	angle	status	angmin	angmax
mpc.branch = [
	10	20	0.01	0.1	0.02	150	160	170	0	0	1	-360	360;
	10	20	0.01	0.2	0.02	0	0	0	0	0	1	-360	360;
	20	30	0.01	0.05	0	100	0	0	0	0	1	-360	360;
	30	40	0.01	0.3	0	0	0	0	0	0	0	-360	360;
	30	40	0	0.0001	0	0	0	0	0	0	1	-360	360;
	10	40	0.001	0.04	0	120	120	120	1.05	-3	1	-360	360;
	20	101	0	0.025	0	100	100	100	1.02	0	1	-360	360;
	30	101	0	0.075	0	80	80	80	0.98	2	1	-360	360;
	40	101	0	0.125	0	0	0	0	1	0	1	-360	360;
];

%% generator cost data
%	2	startup	shutdown	n	c(n-1)	...	c0
mpc.gencost = [
	2	0	0	3	0.01	20	0;
	2	0	0	3	0.02	25	0;
	2	0	0	3	0.03	30	0;
];
